// A fresh temporary folder for one test, removed with everything in it afterwards.
#pragma once

#include <filesystem>
#include <string>

class TempDir {
public:
    TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir();

    const std::filesystem::path& Path() const { return path_; }
    // The folder in the program's own form: '\' separators and a trailing '\'.
    std::string Folder() const;
    // Creates the file (and its folders) below the temporary folder; `rel` uses '/' and
    // the ANSI code page.
    std::filesystem::path WriteFile(const std::string& rel, const std::string& content = "x");
    std::filesystem::path MakeDir(const std::string& rel);
    // `rel` in the program's form, below Folder().
    std::string Native(const std::string& rel) const;

private:
    std::filesystem::path path_;
};
