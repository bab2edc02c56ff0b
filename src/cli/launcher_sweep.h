// --wine-launchers: the launchers Wine wrote for a user (launchers.h), found where Wine puts
// them, judged with the prefix each one starts, and moved to the trash on request. Linux only.
#pragma once

#include "cli/launchers.h"
#include "cli/options.h"

#include <functional>
#include <map>
#include <memory>
#include <string>

// Where a user's launchers live.
struct TLauncherPlaces {
    std::string home;
    std::string dataHome;   // $XDG_DATA_HOME: applications/wine/, icons/, desktop-directories/
    std::string configHome; // $XDG_CONFIG_HOME: menus/applications-merged/
    std::string desktop;    // XDG_DESKTOP_DIR of user-dirs.dirs, else ~/Desktop
    static TLauncherPlaces FromEnvironment();
};

using TLauncherVisit = std::function<void(const std::string& file, const TWineLauncher&)>;

// Each .desktop file below dataHome/applications/wine/ and on the Desktop that Wine made, with
// what its Exec line names; every other file is passed over unread beyond its text. A file
// that cannot be taken as a launcher's text (unreadable, not text, too large) goes to `fail`
// with its path and the reason, as does a folder that cannot be listed.
void FindWineLaunchers(
    const TLauncherPlaces& places, const TLauncherVisit& visit,
    const std::function<void(const std::string& path, const std::string& reason)>& fail);

struct TPrefix;

// Judges launchers, reading each prefix once. The prefix is gone, or the shortcut file, or
// the shortcut's target is invalid by the validity rule (the prefix's drive map,
// environment and user folders, as for any shortcut): dead. A prefix that is there but
// cannot be read, a shortcut that cannot be read: live, with the reason.
class TLauncherJudge {
public:
    explicit TLauncherJudge(std::string home); // a launcher without WINEPREFIX: home/.wine
    ~TLauncherJudge();
    TLauncherJudge(const TLauncherJudge&) = delete;
    TLauncherJudge& operator=(const TLauncherJudge&) = delete;
    // Fills `report` (all but its launcher); false with `error` when the question stays open
    // (the prefix or the shortcut reached through a link loop, access denied).
    bool Judge(const TWineLauncher& launcher, TLauncherReport& report, std::string& error);

private:
    std::string home_;
    std::map<std::string, std::unique_ptr<TPrefix>> prefixes_;
};

// The program with --wine-launchers; its exit status.
int SweepWineLaunchers(const TCliOptions& options);
