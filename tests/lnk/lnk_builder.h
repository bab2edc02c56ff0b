// Builds shell link files byte by byte, for the cases a real writer cannot make.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lnkb {

using Bytes = std::vector<unsigned char>;

inline void U16(Bytes& b, std::uint32_t v) {
    b.resize(b.size() + 2);
    b[b.size() - 2] = static_cast<unsigned char>(v);
    b[b.size() - 1] = static_cast<unsigned char>(v >> 8);
}
inline void U32(Bytes& b, std::uint32_t v) {
    U16(b, v & 0xFFFF);
    U16(b, v >> 16);
}
inline void PutU32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}
inline void Ansi(Bytes& b, const std::string& s) { // bytes as given, then a zero
    b.insert(b.end(), s.begin(), s.end());
    b.push_back(0);
}
inline void Wide(Bytes& b, const std::u16string& s) {
    for (char16_t c : s)
        U16(b, c);
    U16(b, 0);
}

// One ID list item: its size, then the body.
inline Bytes Item(const Bytes& body) {
    Bytes b;
    U16(b, static_cast<std::uint32_t>(body.size() + 2));
    b.insert(b.end(), body.begin(), body.end());
    return b;
}
inline Bytes RootItem(const unsigned char (&guid)[16]) {
    Bytes body{0x1F, 0x50};
    body.insert(body.end(), guid, guid + 16);
    return Item(body);
}
constexpr unsigned char kMyComputer[16] = {0xE0, 0x4F, 0xD0, 0x20, 0xEA, 0x3A, 0x69, 0x10,
                                           0xA2, 0xD8, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D};
constexpr unsigned char kNetwork[16] = {0x60, 0x2C, 0x8D, 0x20, 0xEA, 0x3A, 0x69, 0x10,
                                        0xA2, 0xD7, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D};
constexpr unsigned char kControlPanel[16] = {0x20, 0x20, 0xEC, 0x21, 0xEA, 0x3A, 0x69, 0x10,
                                             0xA2, 0xDD, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D};

// {59031A47-3F72-44A7-89C5-5595FE6B30EE}, the user's files, and
// {031E4825-7B94-4DC3-B131-E946B44C8DD5}, the libraries, as root items store them.
constexpr unsigned char kUsersFiles[16] = {0x47, 0x1A, 0x03, 0x59, 0x72, 0x3F, 0xA7, 0x44,
                                           0x89, 0xC5, 0x55, 0x95, 0xFE, 0x6B, 0x30, 0xEE};
constexpr unsigned char kLibraries[16] = {0x25, 0x48, 0x1E, 0x03, 0x94, 0x7B, 0xC3, 0x4D,
                                          0xB1, 0x31, 0xE9, 0x46, 0xB4, 0x4C, 0x8D, 0xD5};

inline Bytes DriveItem(const std::string& drive) {
    Bytes body{0x2F};
    Ansi(body, drive);
    body.resize(22, 0);
    return Item(body);
}
// A file-system item: the short name, then (with version != 0) a 0xBEEF0004 block of that
// version holding the long name (-1: the layout Wine writes).
inline Bytes FileItem(const std::string& shortName, const std::u16string& longName = u"",
                      int version = 9, bool folder = false) {
    Bytes body{static_cast<unsigned char>(folder ? 0x31 : 0x32), 0};
    U32(body, 1234);             // size
    U32(body, 0);                // DOS date and time
    U16(body, folder ? 16 : 32); // attributes
    Ansi(body, shortName);
    if ((body.size() + 2) & 1)
        body.push_back(0);
    if (version != 0) { // version -1: Wine's layout, version and signature left zero
        Bytes ext;
        U16(ext, 0);
        U16(ext, static_cast<std::uint32_t>(version < 0 ? 0 : version));
        U32(ext, version < 0 ? 0 : 0xBEEF0004);
        std::size_t nameOff = version >= 9 ? 46 : version >= 8 ? 42 : version >= 7 ? 38 : 20;
        ext.resize(nameOff, 0);
        Wide(ext, longName);
        U16(ext, static_cast<std::uint32_t>(2 + body.size())); // the block's offset in the item
        ext[0] = static_cast<unsigned char>(ext.size());
        ext[1] = static_cast<unsigned char>(ext.size() >> 8);
        body.insert(body.end(), ext.begin(), ext.end());
    }
    return Item(body);
}
inline Bytes NetworkItem(unsigned char type, const std::string& name) {
    Bytes body{type, 0x02, 0x00};
    Ansi(body, name);
    Ansi(body, "");
    return Item(body);
}
inline Bytes IdList(const std::vector<Bytes>& items) {
    Bytes list;
    for (const Bytes& i : items)
        list.insert(list.end(), i.begin(), i.end());
    U16(list, 0);
    return list;
}

// LinkInfo with a local base path and/or a network share. Strings are ANSI bytes as given;
// with `unicode` the Unicode twins are added (from the u16 strings).
struct LinkInfoSpec {
    std::string localBase; // "" = no local part
    std::string net;       // "" = no network part
    std::string suffix;
    bool unicode = false;
    std::u16string localBaseW, netW, suffixW;
};
inline Bytes LinkInfo(const LinkInfoSpec& s) {
    const bool local = !s.localBase.empty() || !s.localBaseW.empty();
    const bool net = !s.net.empty() || !s.netW.empty();
    const std::uint32_t header = s.unicode ? 0x24 : 0x1C;
    Bytes b(header, 0);
    PutU32(b, 4, header);
    PutU32(b, 8, (local ? 1u : 0u) | (net ? 2u : 0u));
    if (local) {
        PutU32(b, 0x0C, static_cast<std::uint32_t>(b.size()));
        U32(b, 0x11); // volume id: size, drive type, serial, label offset, label
        U32(b, 3);
        U32(b, 0x1234);
        U32(b, 0x10);
        b.push_back(0);
        PutU32(b, 0x10, static_cast<std::uint32_t>(b.size()));
        Ansi(b, s.localBase);
    }
    if (net) {
        const std::size_t at = b.size();
        PutU32(b, 0x14, static_cast<std::uint32_t>(at));
        Bytes c(s.unicode ? 0x1C : 0x14, 0);
        PutU32(c, 4, 2);
        PutU32(c, 8, static_cast<std::uint32_t>(c.size()));
        PutU32(c, 0x10, 0x00020000);
        Ansi(c, s.net);
        if (s.unicode) {
            PutU32(c, 0x14, static_cast<std::uint32_t>(c.size()));
            Wide(c, s.netW);
        }
        PutU32(c, 0, static_cast<std::uint32_t>(c.size()));
        b.insert(b.end(), c.begin(), c.end());
    }
    PutU32(b, 0x18, static_cast<std::uint32_t>(b.size()));
    Ansi(b, s.suffix);
    if (s.unicode) {
        if (local) {
            PutU32(b, 0x1C, static_cast<std::uint32_t>(b.size()));
            Wide(b, s.localBaseW);
        }
        PutU32(b, 0x20, static_cast<std::uint32_t>(b.size()));
        Wide(b, s.suffixW);
    }
    PutU32(b, 0, static_cast<std::uint32_t>(b.size()));
    return b;
}

// A 0x314-byte block of the environment (0xA0000001) or Darwin (0xA0000006) layout.
inline Bytes TargetBlock(std::uint32_t signature, const std::string& ansi,
                         const std::u16string& wide) {
    Bytes b;
    U32(b, 0x314);
    U32(b, signature);
    Bytes a(ansi.begin(), ansi.end());
    a.resize(260, 0);
    b.insert(b.end(), a.begin(), a.end());
    for (std::size_t i = 0; i < 260; ++i)
        U16(b, i < wide.size() ? wide[i] : 0);
    return b;
}

// An extra data block: size, signature, then the body.
inline Bytes Block(std::uint32_t signature, const Bytes& body) {
    Bytes b;
    U32(b, static_cast<std::uint32_t>(8 + body.size()));
    U32(b, signature);
    b.insert(b.end(), body.begin(), body.end());
    return b;
}
// The offset in an ID list (as IdList() builds it) of item `index`.
inline std::uint32_t ItemOffset(const std::vector<Bytes>& items, std::size_t index) {
    std::uint32_t off = 0;
    for (std::size_t i = 0; i < index; ++i)
        off += static_cast<std::uint32_t>(items[i].size());
    return off;
}
// The special-folder (CSIDL) and known-folder (GUID as stored) blocks: the folder the ID list
// points into and the offset of its first item below that folder.
inline Bytes SpecialFolderBlock(std::uint32_t csidl, std::uint32_t offset) {
    Bytes body;
    U32(body, csidl);
    U32(body, offset);
    return Block(0xA0000005, body);
}
inline Bytes KnownFolderBlock(const unsigned char (&guid)[16], std::uint32_t offset) {
    Bytes body(guid, guid + 16);
    U32(body, offset);
    return Block(0xA000000B, body);
}

constexpr std::uint32_t kHasIdList = 0x1, kHasLinkInfo = 0x2, kHasName = 0x4,
                        kHasRelativePath = 0x8, kHasWorkingDir = 0x10, kHasArguments = 0x20,
                        kHasIconLocation = 0x40, kIsUnicode = 0x80, kForceNoLinkInfo = 0x100,
                        kHasExpString = 0x200, kHasDarwinId = 0x1000, kHasExpIcon = 0x4000;

// The whole file. Flags for the ID list, LinkInfo and strings are set from what is given;
// `extraFlags` adds the rest.
struct Link {
    Bytes idList;   // from IdList(), or empty for none
    Bytes linkInfo; // from LinkInfo(), or empty
    std::vector<std::u16string>
        strings; // name, relative, working dir, arguments, icon; "" = absent
    bool unicodeStrings = true;
    std::vector<Bytes> extra;
    bool terminal = true;
    std::uint32_t extraFlags = 0;
    // The header's other fields, 0 unless set: the target's attributes, times (FILETIME) and
    // size, the icon index, the show command and the hot key.
    std::uint32_t attributes = 0;
    std::uint64_t created = 0, accessed = 0, written = 0;
    std::uint32_t fileSize = 0, iconIndex = 0, showCommand = 0;
    std::uint16_t hotKey = 0;

    Bytes Build() const {
        Bytes b;
        U32(b, 0x4C);
        const unsigned char clsid[16] = {0x01, 0x14, 0x02, 0, 0, 0, 0, 0,
                                         0xC0, 0,    0,    0, 0, 0, 0, 0x46};
        b.insert(b.end(), clsid, clsid + 16);
        std::uint32_t flags = extraFlags;
        if (!idList.empty())
            flags |= kHasIdList;
        if (!linkInfo.empty())
            flags |= kHasLinkInfo;
        if (unicodeStrings)
            flags |= kIsUnicode;
        const std::uint32_t bits[5] = {kHasName, kHasRelativePath, kHasWorkingDir, kHasArguments,
                                       kHasIconLocation};
        for (std::size_t i = 0; i < strings.size() && i < 5; ++i)
            if (!strings[i].empty())
                flags |= bits[i];
        U32(b, flags);
        U32(b, attributes);
        for (std::uint64_t time : {created, accessed, written}) {
            U32(b, static_cast<std::uint32_t>(time));
            U32(b, static_cast<std::uint32_t>(time >> 32));
        }
        for (std::uint32_t v : {fileSize, iconIndex, showCommand})
            U32(b, v);
        U16(b, hotKey);
        b.resize(0x4C, 0);
        if (!idList.empty()) {
            U16(b, static_cast<std::uint32_t>(idList.size()));
            b.insert(b.end(), idList.begin(), idList.end());
        }
        b.insert(b.end(), linkInfo.begin(), linkInfo.end());
        for (std::size_t i = 0; i < strings.size() && i < 5; ++i) {
            if (strings[i].empty())
                continue;
            U16(b, static_cast<std::uint32_t>(strings[i].size()));
            for (char16_t c : strings[i]) {
                if (unicodeStrings)
                    U16(b, c);
                else
                    b.push_back(static_cast<unsigned char>(c));
            }
        }
        for (const Bytes& e : extra)
            b.insert(b.end(), e.begin(), e.end());
        if (terminal)
            U32(b, 0);
        return b;
    }
};

} // namespace lnkb
