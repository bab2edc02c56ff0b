// Shell link (.lnk) layout: a 0x4C-byte header, an optional target ID list, an optional
// LinkInfo structure, up to five counted strings and a chain of extra data blocks.
#include "lnk/lnk_format.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <vector>

namespace lnk {
namespace {

// Link flags.
constexpr std::uint32_t kHasIdList = 0x00000001;
constexpr std::uint32_t kHasLinkInfo = 0x00000002;
constexpr std::uint32_t kHasName = 0x00000004;
constexpr std::uint32_t kHasRelativePath = 0x00000008;
constexpr std::uint32_t kHasWorkingDir = 0x00000010;
constexpr std::uint32_t kHasArguments = 0x00000020;
constexpr std::uint32_t kHasIconLocation = 0x00000040;
constexpr std::uint32_t kIsUnicode = 0x00000080;
constexpr std::uint32_t kForceNoLinkInfo = 0x00000100;
constexpr std::uint32_t kHasExpString = 0x00000200;
constexpr std::uint32_t kHasExpIcon = 0x00004000;

// Header fields.
constexpr std::size_t kHeaderSize = 0x4C;
constexpr std::size_t kLinkFlagsAt = 0x14;
constexpr std::size_t kFileAttributesAt = 0x18;
constexpr std::size_t kCreationTimeAt = 0x1C;
constexpr std::size_t kAccessTimeAt = 0x24;
constexpr std::size_t kWriteTimeAt = 0x2C;
constexpr std::size_t kFileSizeAt = 0x34;
constexpr std::size_t kIconIndexAt = 0x38;
constexpr std::size_t kShowCommandAt = 0x3C;
constexpr std::size_t kHotKeyAt = 0x40;

// The folder bit of a file-system ID list item's type (0x31 a folder, 0x32 a file).
constexpr std::uint8_t kFolderItem = 0x01;
constexpr std::uint32_t kDirectoryAttribute = 0x10; // FILE_ATTRIBUTE_DIRECTORY

// LinkInfo flags.
constexpr std::uint32_t kVolumeIdAndLocalBasePath = 0x1;
constexpr std::uint32_t kCommonNetworkRelativeLink = 0x2;

constexpr std::uint32_t kEnvironmentBlock = 0xA0000001;
constexpr std::uint32_t kIconEnvironmentBlock = 0xA0000007;
constexpr std::size_t kEnvironmentBlockSize = 0x314; // both blocks: 260 ANSI, 260 UTF-16

constexpr unsigned char kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                          0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
// {20D04FE0-3AEA-1069-A2D8-08002B30309D} as stored.
constexpr unsigned char kMyComputer[16] = {0xE0, 0x4F, 0xD0, 0x20, 0xEA, 0x3A, 0x69, 0x10,
                                           0xA2, 0xD8, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D};
// {208D2C60-3AEA-1069-A2D7-08002B30309D} as stored.
constexpr unsigned char kNetwork[16] = {0x60, 0x2C, 0x8D, 0x20, 0xEA, 0x3A, 0x69, 0x10,
                                        0xA2, 0xD7, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D};

// Windows-1252 code points of 0x80..0x9F (0 where the code page leaves the byte undefined;
// those decode as the C1 control of the same value, as MultiByteToWideChar does).
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string DecodeWindows1252(std::string_view bytes) {
    std::string out;
    for (const char c : bytes) {
        const auto b = static_cast<std::uint8_t>(c);
        if (b >= 0x80 && b < 0xA0 && kCp1252High[b - 0x80] != 0)
            AppendUtf8(out, kCp1252High[b - 0x80]);
        else
            AppendUtf8(out, b);
    }
    return out;
}

bool IsAscii(std::string_view bytes) {
    for (const char c : bytes)
        if (static_cast<std::uint8_t>(c) >= 0x80)
            return false;
    return true;
}

// A bounds-checked view of bytes. Every accessor answers false/0 rather than read outside.
class Bytes {
public:
    Bytes() = default;
    Bytes(const unsigned char* p, std::size_t n) : p_(p), n_(n) {}

    std::size_t size() const { return n_; }
    bool Has(std::size_t off, std::size_t len) const { return off <= n_ && len <= n_ - off; }
    // The sub-range [off, off + len), or an empty view when it does not fit.
    Bytes Sub(std::size_t off, std::size_t len) const {
        return Has(off, len) ? Bytes(p_ + off, len) : Bytes();
    }
    std::uint8_t U8(std::size_t off) const { return off < n_ ? p_[off] : 0; }
    std::uint16_t U16(std::size_t off) const {
        return Has(off, 2) ? static_cast<std::uint16_t>(p_[off] | (p_[off + 1] << 8)) : 0;
    }
    std::uint32_t U32(std::size_t off) const {
        if (!Has(off, 4))
            return 0;
        return static_cast<std::uint32_t>(p_[off]) |
               (static_cast<std::uint32_t>(p_[off + 1]) << 8) |
               (static_cast<std::uint32_t>(p_[off + 2]) << 16) |
               (static_cast<std::uint32_t>(p_[off + 3]) << 24);
    }
    std::uint64_t U64(std::size_t off) const {
        return Has(off, 8) ? U32(off) | (static_cast<std::uint64_t>(U32(off + 4)) << 32) : 0;
    }
    bool Equals(std::size_t off, const unsigned char* what, std::size_t len) const {
        return Has(off, len) && std::memcmp(p_ + off, what, len) == 0;
    }

    // The bytes of a zero-terminated ANSI string starting at off, without the zero; false
    // when it is not terminated inside the view.
    bool AnsiZ(std::size_t off, std::string_view& bytes, std::size_t* end = nullptr) const {
        if (off >= n_)
            return false;
        const void* zero = std::memchr(p_ + off, 0, n_ - off);
        if (!zero)
            return false;
        const auto len =
            static_cast<std::size_t>(static_cast<const unsigned char*>(zero) - (p_ + off));
        bytes = Text(off, len);
        if (end)
            *end = off + len + 1;
        return true;
    }
    // Up to `count` ANSI bytes at off, stopping at the first zero or the end of the view.
    std::string_view AnsiCounted(std::size_t off, std::size_t count) const {
        if (off >= n_)
            return {};
        if (count > n_ - off)
            count = n_ - off;
        const void* zero = std::memchr(p_ + off, 0, count);
        return Text(off, zero ? static_cast<std::size_t>(static_cast<const unsigned char*>(zero) -
                                                         (p_ + off))
                              : count);
    }
    // A zero-terminated UTF-16LE string starting at off, as UTF-8.
    bool WideZ(std::size_t off, std::string& out, std::size_t* end = nullptr) const {
        out.clear();
        std::size_t i = off;
        for (; Has(i, 2); i += 2)
            if (U16(i) == 0)
                break;
        if (!Has(i, 2))
            return false;
        AppendWide(out, off, (i - off) / 2);
        if (end)
            *end = i + 2;
        return true;
    }
    // Up to `count` UTF-16LE units at off as UTF-8, stopping at the first zero.
    std::string WideCounted(std::size_t off, std::size_t count) const {
        std::string out;
        std::size_t units = 0;
        while (units < count && Has(off + 2 * units, 2) && U16(off + 2 * units) != 0)
            ++units;
        AppendWide(out, off, units);
        return out;
    }

private:
    std::string_view Text(std::size_t off, std::size_t len) const {
        return std::string_view(reinterpret_cast<const char*>(p_ + off), len);
    }
    // `units` UTF-16LE units at off (already known to fit); a lone surrogate becomes U+FFFD.
    void AppendWide(std::string& out, std::size_t off, std::size_t units) const {
        for (std::size_t k = 0; k < units; ++k) {
            std::uint32_t u = U16(off + 2 * k);
            if (u >= 0xD800 && u < 0xDC00 && k + 1 < units) {
                const std::uint32_t lo = U16(off + 2 * (k + 1));
                if (lo >= 0xDC00 && lo < 0xE000) {
                    AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00));
                    ++k;
                    continue;
                }
            }
            if (u >= 0xD800 && u < 0xE000)
                u = 0xFFFD;
            AppendUtf8(out, u);
        }
    }

    const unsigned char* p_ = nullptr;
    std::size_t n_ = 0;
};

// Joins two path parts with exactly the '\' the first one lacks.
std::string JoinPath(std::string first, const std::string& second) {
    if (second.empty())
        return first;
    if (!first.empty() && first.back() != '\\')
        first += '\\';
    return first + second;
}

struct LinkInfoPaths {
    std::string local;
    std::string network;
};

// The reading of one file: the bytes' structures, decoded with the caller's context.
class Reader {
public:
    explicit Reader(const ReadContext& context) : context_(context) {}

    // The target; with `fields`, also everything else the file stores (fields->readable is
    // set once the bytes are known to be a readable shortcut).
    std::string Target(Bytes file, ShortcutFields* fields = nullptr) const;

private:
    std::string Ansi(std::string_view bytes) const {
        std::string text;
        if (IsAscii(bytes))
            text.assign(bytes);
        else if (!context_.ansi || !context_.ansi(bytes, text))
            text = DecodeWindows1252(bytes);
        return text;
    }
    bool AnsiZ(Bytes b, std::size_t off, std::string& out) const {
        std::string_view bytes;
        if (!b.AnsiZ(off, bytes))
            return false;
        out = Ansi(bytes);
        return true;
    }
    bool FileItemName(Bytes item, std::string& name) const;
    // `folder`: whether the last item names a folder (a drive, a share or a folder item).
    bool PathFromIdList(Bytes list, std::string& path, bool& folder) const;
    bool ReadLinkInfo(Bytes info, LinkInfoPaths& out) const;
    // The text of an environment-style block (target or icon): Unicode preferred.
    std::string BlockText(Bytes file, std::size_t off) const {
        std::string text = file.WideCounted(off + 8 + 260, 260);
        if (text.empty())
            text = Ansi(file.AnsiCounted(off + 8, 260));
        return text;
    }
    std::string CountedString(Bytes file, std::size_t at, std::size_t count, bool unicode) const {
        return unicode ? file.WideCounted(at, count) : Ansi(file.AnsiCounted(at, count));
    }

    const ReadContext& context_;
};

// The name of a file-system folder or file item: the long name from its 0xBEEF0004
// extension block when there is one, else the primary name.
bool Reader::FileItemName(Bytes item, std::string& name) const {
    const std::uint8_t type = item.U8(2);
    std::size_t pos = 0;
    std::string_view primary;
    if (type & 0x04) {
        if (!item.WideZ(14, name, &pos))
            return false;
    } else {
        if (!item.AnsiZ(14, primary, &pos))
            return false;
        name.clear();
    }
    pos += pos & 1; // extension blocks start at an even offset
    // Walk the extension blocks: size, version, signature.
    while (item.Has(pos, 8)) {
        const std::size_t extSize = item.U16(pos);
        if (extSize < 8 || !item.Has(pos, extSize))
            break;
        const std::uint32_t signature = item.U32(pos + 4);
        // Wine writes the oldest layout with the version and signature left zero.
        if (signature == 0xBEEF0004 || (signature == 0 && item.U16(pos + 2) == 0)) {
            const Bytes ext = item.Sub(pos, extSize);
            const std::uint16_t version = ext.U16(2);
            std::size_t nameOff = 20;
            if (version >= 7)
                nameOff = 38;
            if (version >= 8)
                nameOff = 42;
            if (version >= 9)
                nameOff = 46;
            std::string longName;
            if (ext.WideZ(nameOff, longName) && !longName.empty()) {
                name = longName;
                return true;
            }
            break;
        }
        pos += extSize;
    }
    if (!(type & 0x04))
        name = Ansi(primary);
    return !name.empty();
}

// The file-system path an ID list names, or false when it names none.
bool Reader::PathFromIdList(Bytes list, std::string& path, bool& folder) const {
    enum class State { Start, Computer, Network, Path } state = State::Start;
    path.clear();
    std::size_t off = 0;
    while (list.Has(off, 2)) {
        const std::size_t itemSize = list.U16(off);
        if (itemSize == 0)
            break; // terminal item
        if (itemSize < 3 || !list.Has(off, itemSize))
            return false;
        const Bytes item = list.Sub(off, itemSize);
        off += itemSize;
        const std::uint8_t type = item.U8(2);
        switch (state) {
        case State::Start:
            if (type != 0x1F || !item.Has(4, 16))
                return false;
            if (item.Equals(4, kMyComputer, 16))
                state = State::Computer;
            else if (item.Equals(4, kNetwork, 16))
                state = State::Network;
            else
                return false;
            break;
        case State::Computer: {
            if ((type & 0x70) != 0x20)
                return false;
            std::string drive;
            if (!AnsiZ(item, 3, drive) || drive.size() < 2 || drive[1] != ':')
                return false;
            path = drive;
            folder = true;
            state = State::Path;
            break;
        }
        case State::Network: {
            if ((type & 0x70) != 0x40)
                return false;
            std::string name;
            if (!AnsiZ(item, 5, name) || name.size() < 3 || name[0] != '\\' || name[1] != '\\')
                return false;
            path = name;
            folder = true;
            if (name.find('\\', 2) != std::string::npos)
                state = State::Path; // a share: file-system items may follow
            break;
        }
        case State::Path: {
            if ((type & 0x70) != 0x30)
                return false;
            std::string name;
            if (!FileItemName(item, name))
                return false;
            path = JoinPath(path, name);
            folder = (type & kFolderItem) != 0;
            break;
        }
        }
    }
    return state == State::Path;
}

bool Reader::ReadLinkInfo(Bytes info, LinkInfoPaths& out) const {
    const std::size_t headerSize = info.U32(4);
    if (headerSize < 0x1C || headerSize > info.size())
        return false;
    const std::uint32_t flags = info.U32(8);
    const bool unicodeOffsets = headerSize >= 0x24;

    std::string suffix;
    const std::size_t suffixU = unicodeOffsets ? info.U32(0x20) : 0;
    const std::size_t suffixA = info.U32(0x18);
    if (suffixU != 0) {
        if (!info.WideZ(suffixU, suffix))
            return false;
    } else if (suffixA != 0 && !AnsiZ(info, suffixA, suffix)) {
        return false;
    }

    if (flags & kVolumeIdAndLocalBasePath) {
        std::string base;
        const std::size_t baseU = unicodeOffsets ? info.U32(0x1C) : 0;
        const bool ok = baseU != 0 ? info.WideZ(baseU, base) : AnsiZ(info, info.U32(0x10), base);
        if (!ok)
            return false;
        if (!base.empty())
            out.local = JoinPath(base, suffix);
    }
    if (flags & kCommonNetworkRelativeLink) {
        const std::size_t cnrlOff = info.U32(0x14);
        const std::size_t cnrlSize = info.U32(cnrlOff);
        const Bytes cnrl = info.Sub(cnrlOff, cnrlSize);
        if (cnrlSize < 0x14 || cnrl.size() == 0)
            return false;
        const std::size_t netA = cnrl.U32(8);
        std::string net;
        const std::size_t netU = (netA > 0x14 && cnrl.Has(0x14, 4)) ? cnrl.U32(0x14) : 0;
        const bool ok = netU != 0 ? cnrl.WideZ(netU, net) : AnsiZ(cnrl, netA, net);
        if (!ok)
            return false;
        if (!net.empty())
            out.network = JoinPath(net, suffix);
    }
    return true;
}

// The ExpandEnvironmentStrings rule over UTF-8 text.
std::string Expand(std::string_view text, const EnvLookup& env) {
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t open = text.find('%', i);
        if (open == std::string_view::npos) {
            out.append(text.substr(i));
            break;
        }
        out.append(text.substr(i, open - i));
        const std::size_t close = text.find('%', open + 1);
        if (close == std::string_view::npos) {
            out.append(text.substr(open));
            break;
        }
        const std::string_view name = text.substr(open + 1, close - open - 1);
        std::string value;
        if (!name.empty() && env && env(name, value))
            out += value;
        else
            out.append(text.substr(open, close - open + 1));
        i = close + 1;
    }
    return out;
}

// The whole target, or "" for one longer than any path the system can open: a part of a
// path names another file, so a target is never cut.
std::string Capped(std::string s) { return s.size() <= kMaxTargetBytes ? s : std::string(); }

std::string Reader::Target(Bytes file, ShortcutFields* fields) const {
    if (!file.Has(0, kHeaderSize) || file.U32(0) != kHeaderSize || !file.Equals(4, kLinkClsid, 16))
        return {};
    const std::uint32_t flags = file.U32(kLinkFlagsAt);
    std::size_t off = kHeaderSize;

    Bytes idList;
    if (flags & kHasIdList) {
        const std::size_t listSize = file.U16(off);
        if (!file.Has(off + 2, listSize))
            return {};
        idList = file.Sub(off + 2, listSize);
        off += 2 + listSize;
    }

    LinkInfoPaths info;
    if (flags & kHasLinkInfo) {
        const std::size_t infoSize = file.U32(off);
        if (infoSize < 4 || !file.Has(off, infoSize))
            return {};
        const Bytes infoBytes = file.Sub(off, infoSize);
        off += infoSize;
        if (!(flags & kForceNoLinkInfo) && !ReadLinkInfo(infoBytes, info))
            return {};
    }

    const bool unicode = (flags & kIsUnicode) != 0;
    std::size_t relativeAt = 0, relativeCount = 0; // decoded only when it is the target
    // The counted strings, in the order they are stored.
    constexpr std::uint32_t kStrings[] = {kHasName, kHasRelativePath, kHasWorkingDir, kHasArguments,
                                          kHasIconLocation};
    constexpr std::string ShortcutFields::*kStringFields[] = {
        &ShortcutFields::comment, &ShortcutFields::relativePath, &ShortcutFields::workingDir,
        &ShortcutFields::arguments, &ShortcutFields::iconLocation};
    for (std::size_t k = 0; k < std::size(kStrings); ++k) {
        const std::uint32_t bit = kStrings[k];
        if (!(flags & bit))
            continue;
        if (!file.Has(off, 2))
            return {};
        const std::size_t count = file.U16(off);
        const std::size_t bytes = count * (unicode ? 2 : 1);
        if (!file.Has(off + 2, bytes))
            return {};
        if (bit == kHasRelativePath) {
            relativeAt = off + 2;
            relativeCount = count;
        }
        if (fields)
            fields->*kStringFields[k] = CountedString(file, off + 2, count, unicode);
        off += 2 + bytes;
    }
    if (fields) {
        fields->readable = true;
        fields->fileAttributes = file.U32(kFileAttributesAt);
        fields->targetIsFolder = (fields->fileAttributes & kDirectoryAttribute) != 0;
        fields->creationTime = file.U64(kCreationTimeAt);
        fields->accessTime = file.U64(kAccessTimeAt);
        fields->writeTime = file.U64(kWriteTimeAt);
        fields->fileSize = file.U32(kFileSizeAt);
        fields->iconIndex = static_cast<std::int32_t>(file.U32(kIconIndexAt));
        fields->showCommand = file.U32(kShowCommandAt);
        fields->hotKey = file.U16(kHotKeyAt);
    }

    std::string envTarget, envIcon;
    // Extra data: blocks of (size, signature) until a size below 4.
    while (file.Has(off, 4)) {
        const std::size_t blockSize = file.U32(off);
        if (blockSize < 8 || !file.Has(off, blockSize))
            break;
        const std::uint32_t signature = file.U32(off + 4);
        if (blockSize >= kEnvironmentBlockSize) {
            if (signature == kEnvironmentBlock && envTarget.empty())
                envTarget = BlockText(file, off);
            else if (fields && signature == kIconEnvironmentBlock && envIcon.empty())
                envIcon = BlockText(file, off);
        }
        off += blockSize;
    }
    if (fields && fields->iconLocation.empty() && (flags & kHasExpIcon))
        fields->iconLocation = envIcon;

    std::string path;
    if ((flags & kHasExpString) && !envTarget.empty()) {
        path = Expand(envTarget, context_.environment);
        if (IsFullPath(path))
            return Capped(path);
    }
    bool folder = false;
    if (PathFromIdList(idList, path, folder) && IsFullPath(path)) {
        if (fields)
            fields->targetIsFolder = fields->targetIsFolder || folder;
        return Capped(path);
    }
    for (const std::string* stored : {&info.local, &info.network})
        if (IsFullPath(*stored))
            return Capped(*stored);
    if (relativeCount == 0)
        return {};
    const std::string relative = CountedString(file, relativeAt, relativeCount, unicode);
    return Capped(ResolveRelativePath(context_.linkPath, relative));
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The length of the root that starts `path` ("X:\", "\\server\share\", "\"), 0 when it has
// none. A share root with nothing after it counts, its last '\' implied.
std::size_t RootLength(std::string_view path) {
    if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == ':' && IsSeparator(path[2]))
        return 3;
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        std::size_t i = 2;
        for (int part = 0; part < 2; ++part) { // server, then share
            const std::size_t start = i;
            while (i < path.size() && !IsSeparator(path[i]))
                ++i;
            if (i == start)
                return 0;
            if (i < path.size())
                ++i;
        }
        return i;
    }
    if (!path.empty() && IsSeparator(path[0]))
        return 1;
    return 0;
}

std::string RootText(std::string_view root) {
    std::string text(root);
    for (char& c : text)
        if (c == '/')
            c = '\\';
    if (text.back() != '\\')
        text += '\\';
    return text;
}

// Adds the segments of `text` to `segments`: empty and "." ones skipped, ".." dropping the
// last one (never below the root).
void AddSegments(std::string_view text, std::vector<std::string_view>& segments) {
    std::size_t i = 0;
    while (i <= text.size()) {
        std::size_t j = i;
        while (j < text.size() && !IsSeparator(text[j]))
            ++j;
        const std::string_view segment = text.substr(i, j - i);
        if (segment == "..") {
            if (!segments.empty())
                segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        i = j + 1;
    }
}

} // namespace

bool IsFullPath(std::string_view path) {
    return (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == ':' && IsSeparator(path[2])) ||
           (!path.empty() && IsSeparator(path[0]));
}

std::string ResolveRelativePath(std::string_view linkPath, std::string_view relative) {
    if (relative.empty() || (relative.size() >= 2 && relative[1] == ':' && !IsFullPath(relative)))
        return {}; // nothing, or a drive's own current folder, which a shortcut cannot know
    if (relative.size() >= 2 && IsSeparator(relative[0]) && IsSeparator(relative[1]) &&
        RootLength(relative) == 0)
        return {}; // a server without a share
    std::string_view root;
    std::vector<std::string_view> segments;
    if (const std::size_t own = RootLength(relative); own > 1) {
        root = relative.substr(0, own);
        relative.remove_prefix(own);
    } else {
        const std::size_t linkRoot = RootLength(linkPath);
        if (linkRoot == 0)
            return {};
        root = linkPath.substr(0, linkRoot);
        if (own == 0) { // below the shortcut's own folder
            std::string_view folder = linkPath.substr(linkRoot);
            std::size_t last = folder.size();
            while (last > 0 && !IsSeparator(folder[last - 1]))
                --last;
            AddSegments(folder.substr(0, last), segments);
        }
    }
    AddSegments(relative, segments);
    std::string path = RootText(root);
    for (std::size_t k = 0; k < segments.size(); ++k) {
        if (k > 0)
            path += '\\';
        path.append(segments[k]);
    }
    if (!segments.empty() && !relative.empty() && IsSeparator(relative.back()))
        path += '\\';
    return path;
}

std::string ExpandEnvironmentReferences(std::string_view text, const EnvLookup& env) {
    return Expand(text, env);
}

std::string ReadShortcutTarget(const unsigned char* data, std::size_t size,
                               const ReadContext& context) {
    return Reader(context).Target(Bytes(data, size));
}

ShortcutFields ReadShortcutFields(const unsigned char* data, std::size_t size,
                                  const ReadContext& context) {
    ShortcutFields fields;
    fields.target = Reader(context).Target(Bytes(data, size), &fields);
    if (!fields.readable)
        return {};
    return fields;
}

} // namespace lnk
