// Shell link (.lnk) layout: a ShellLinkHeader, an optional LinkTargetIDList, an optional
// LinkInfo, up to five StringData strings and a chain of ExtraData blocks (lnk/lnk_layout.h
// names every field). One function reads each structure; Reader::Target composes them and
// picks the target by the rules of lnk_format.h.
#include "lnk/lnk_format.h"

#include "base/text.h"
#include "base/windows_path.h"
#include "lnk/lnk_layout.h"

#include <array>
#include <cstring>

namespace lnk {
namespace {

using namespace layout;

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
    bool Equals(std::size_t off, const unsigned char (&what)[16]) const {
        return Has(off, sizeof what) && std::memcmp(p_ + off, what, sizeof what) == 0;
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
        AppendUtf16LeAsUtf8(out, p_ + off, (i - off) / 2);
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
        if (units > 0)
            AppendUtf16LeAsUtf8(out, p_ + off, units);
        return out;
    }

private:
    std::string_view Text(std::size_t off, std::size_t len) const {
        return std::string_view(reinterpret_cast<const char*>(p_ + off), len);
    }

    const unsigned char* p_ = nullptr;
    std::size_t n_ = 0;
};

// Where a StringData string's characters are; count 0 when it is absent.
struct StoredString {
    std::size_t at = 0;
    std::size_t count = 0;
};

struct LinkInfoPaths {
    std::string local;   // LocalBasePath joined with CommonPathSuffix
    std::string network; // the share's NetName joined with CommonPathSuffix
};

// The known folder or special folder block: the folder the ID list starts in, and where in
// the ID list its first child item is.
struct FolderBlock {
    bool present = false;
    const KnownFolder* folder = nullptr; // nullptr: not one this program knows
    std::string id;                      // the GUID text or "CSIDL n", for the reason
    std::size_t offset = 0;
};

// The extra data blocks the target is chosen from; texts as stored (never expanded), ""
// when absent.
struct ExtraData {
    std::string environmentTarget;
    std::string iconEnvironment;
    FolderBlock folderBlock;
};

// What the structures of one file hold that the target is chosen from.
struct Sources {
    bool hasIdList = false;
    Bytes idList;
    LinkInfoPaths linkInfo;
    StoredString relativePath;
    ExtraData extra;
};

// What an ID list names: a path, a virtual item, a shell folder this system cannot place,
// or items this reader does not know.
struct IdListPath {
    enum class Kind { Path, Virtual, UnplacedFolder, Unknown } kind = Kind::Unknown;
    std::string path;
    bool folder = false; // the last item names a folder (a drive, a share or a folder item)
    std::string detail;  // the shell folder's name, for Virtual and UnplacedFolder
};

// The StringData strings in the order they are stored, each with its flag and its field.
struct StringDataEntry {
    LinkFlag flag;
    std::string ShortcutFields::*field;
};
constexpr StringDataEntry kStringData[] = {
    {LinkFlag::HasName, &ShortcutFields::comment},
    {LinkFlag::HasRelativePath, &ShortcutFields::relativePath},
    {LinkFlag::HasWorkingDir, &ShortcutFields::workingDir},
    {LinkFlag::HasArguments, &ShortcutFields::arguments},
    {LinkFlag::HasIconLocation, &ShortcutFields::iconLocation},
};

// ShellLinkHeader: false unless HeaderSize and LinkCLSID are a shell link's.
bool ReadHeader(Bytes file, Flags<LinkFlag>& linkFlags) {
    if (!file.Has(0, header::kSize) || file.U32(header::kHeaderSizeAt) != header::kSize ||
        !file.Equals(header::kLinkClsidAt, kLinkClsid))
        return false;
    linkFlags = Flags<LinkFlag>(file.U32(header::kLinkFlagsAt));
    return true;
}

// The header's fields as the Properties sheet shows them.
void ReadHeaderFields(Bytes file, ShortcutFields& fields) {
    fields.fileAttributes = file.U32(header::kFileAttributesAt);
    fields.targetIsFolder =
        Flags<FileAttribute>(fields.fileAttributes).Has(FileAttribute::Directory);
    fields.creationTime = file.U64(header::kCreationTimeAt);
    fields.accessTime = file.U64(header::kAccessTimeAt);
    fields.writeTime = file.U64(header::kWriteTimeAt);
    fields.fileSize = file.U32(header::kFileSizeAt);
    fields.iconIndex = static_cast<std::int32_t>(file.U32(header::kIconIndexAt));
    fields.showCommand = file.U32(header::kShowCommandAt);
    fields.hotKey = file.U16(header::kHotKeyAt);
}

// LinkTargetIDList at `off`: its IDList, `off` moved past it; false when it runs past the end.
bool ReadLinkTargetIdList(Bytes file, std::size_t& off, Bytes& idList) {
    const std::size_t size = file.U16(off + id_list::kIdListSizeAt);
    const std::size_t at = off + id_list::kIdListAt;
    if (!file.Has(at, size))
        return false;
    idList = file.Sub(at, size);
    off = at + size;
    return true;
}

// The LinkInfo structure at `off` as a view of its LinkInfoSize bytes, `off` moved past it;
// false when the size is smaller than its own field or runs past the end.
bool ReadLinkInfoBytes(Bytes file, std::size_t& off, Bytes& info) {
    const std::size_t size = file.U32(off + link_info::kLinkInfoSizeAt);
    if (size < link_info::kMinSize || !file.Has(off, size))
        return false;
    info = file.Sub(off, size);
    off += size;
    return true;
}

// One StringData string at `off`: where its characters are, `off` moved past them; false
// when it runs past the end.
bool ReadStoredString(Bytes file, std::size_t& off, bool unicode, StoredString& string) {
    if (!file.Has(off, 2))
        return false;
    const std::size_t count = file.U16(off + string_data::kCountCharactersAt);
    const std::size_t at = off + string_data::kStringAt;
    const std::size_t bytes = count * (unicode ? 2 : 1);
    if (!file.Has(at, bytes))
        return false;
    string = {at, count};
    off = at + bytes;
    return true;
}

// Where an ID list starts: My Computer, the network, another shell folder (by its GUID's
// text), or no root folder item at all.
enum class IdListRoot { None, MyComputer, Network, Other };

// A root folder shell item: the shell folder it names, with the GUID text for another one.
IdListRoot ReadRootFolderItem(Bytes item, std::string& id) {
    if (item.U8(item_id::kClassTypeAt) != kRootFolderClassType ||
        !item.Has(root_folder::kShellFolderIdAt, sizeof kMyComputerId))
        return IdListRoot::None;
    if (item.Equals(root_folder::kShellFolderIdAt, kMyComputerId))
        return IdListRoot::MyComputer;
    if (item.Equals(root_folder::kShellFolderIdAt, kNetworkId))
        return IdListRoot::Network;
    unsigned char bytes[sizeof kMyComputerId];
    for (std::size_t i = 0; i < sizeof bytes; ++i)
        bytes[i] = item.U8(root_folder::kShellFolderIdAt + i);
    id = GuidText(bytes);
    return IdListRoot::Other;
}

// The items of an ID list, one view each with its offset, up to its TerminalID: as many as
// a path is deep, kept without allocating. False when one runs past the end, is smaller
// than its own header, or there are more than the list holds (no path is that deep).
class IdListItems {
public:
    static constexpr std::size_t kMost = 128;
    bool Split(Bytes list) {
        count_ = 0;
        std::size_t off = 0;
        while (list.Has(off, 2)) {
            const std::size_t itemSize = list.U16(off + item_id::kItemIdSizeAt);
            if (itemSize == 0)
                return true; // TerminalID
            if (itemSize < item_id::kMinSize || !list.Has(off, itemSize) || count_ == kMost)
                return false;
            items_[count_++] = {off, list.Sub(off, itemSize)};
            off += itemSize;
        }
        return true;
    }
    std::size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    const std::pair<std::size_t, Bytes>& operator[](std::size_t i) const { return items_[i]; }
    const std::pair<std::size_t, Bytes>* begin() const { return items_.data(); }
    const std::pair<std::size_t, Bytes>* end() const { return items_.data() + count_; }

private:
    std::array<std::pair<std::size_t, Bytes>, kMost> items_;
    std::size_t count_ = 0;
};

// The long name in a file entry's extension blocks from `at`: the file entry extension
// block's (0xBEEF0004) when it has a name there; false otherwise.
bool ReadFileEntryLongName(Bytes item, std::size_t at, std::string& longName) {
    while (item.Has(at, extension_block::kHeaderSize)) {
        const std::size_t size = item.U16(at + extension_block::kExtensionSizeAt);
        if (size < extension_block::kHeaderSize || !item.Has(at, size))
            return false;
        const Bytes block = item.Sub(at, size);
        const std::uint16_t version = block.U16(extension_block::kExtensionVersionAt);
        const std::uint32_t signature = block.U32(extension_block::kExtensionSignatureAt);
        // Wine writes the oldest layout with the version and signature left zero.
        if (signature == file_entry_extension::kSignature || (signature == 0 && version == 0))
            return block.WideZ(file_entry_extension::LongNameAt(version), longName) &&
                   !longName.empty();
        at += size;
    }
    return false;
}

// The reading of one file: the bytes' structures, decoded with the caller's context.
class Reader {
public:
    explicit Reader(const ReadContext& context) : context_(context) {}

    // The target; with `fields`, also everything else the file stores (fields->readable is
    // set once the bytes are known to be a readable shortcut).
    TargetReading Target(Bytes file, ShortcutFields* fields = nullptr) const;

private:
    std::string Ansi(std::string_view bytes) const {
        std::string text;
        if (IsAscii(bytes))
            text.assign(bytes);
        else if (!context_.ansi || !context_.ansi(bytes, text))
            text = Windows1252ToUtf8(bytes);
        return text;
    }
    bool AnsiZ(Bytes b, std::size_t off, std::string& out) const {
        std::string_view bytes;
        if (!b.AnsiZ(off, bytes))
            return false;
        out = Ansi(bytes);
        return true;
    }
    // A zero-terminated string at the Unicode offset when there is one (not 0), else at the
    // ANSI offset.
    bool OffsetString(Bytes b, std::size_t unicodeAt, std::size_t ansiAt, std::string& out) const {
        return unicodeAt != 0 ? b.WideZ(unicodeAt, out) : AnsiZ(b, ansiAt, out);
    }
    std::string Decode(Bytes file, StoredString s, bool unicode) const {
        return unicode ? file.WideCounted(s.at, s.count) : Ansi(file.AnsiCounted(s.at, s.count));
    }

    bool ReadVolumeItem(Bytes item, std::string& drive) const;
    bool ReadNetworkLocationItem(Bytes item, std::string& location) const;
    bool ReadFileEntryItem(Bytes item, std::string& name, bool& folder) const;
    // The items from the one at byte `offset` on, each a file-system item, joined to `base`.
    bool JoinItems(Bytes list, std::size_t offset, IdListPath& path) const;
    IdListPath PathFromIdList(Bytes list) const;
    // The folder's place on this system; false when it has none or it cannot be known.
    bool FolderPlace(const KnownFolder& folder, std::string& place) const;
    bool ReadCommonNetworkRelativeLink(Bytes info, std::string& netName) const;
    bool ReadLinkInfo(Bytes info, LinkInfoPaths& out) const;
    bool ReadStringData(Bytes file, std::size_t& off, Flags<LinkFlag> flags, ShortcutFields* fields,
                        StoredString& relativePath) const;
    std::string ReadEnvironmentBlock(Bytes block) const;
    ExtraData ReadExtraData(Bytes file, std::size_t off, bool withIcon) const;
    TargetReading SelectTarget(Bytes file, Flags<LinkFlag> flags, const Sources& sources,
                               ShortcutFields* fields) const;

    const ReadContext& context_;
};

// A volume shell item: its drive ("X:\").
bool Reader::ReadVolumeItem(Bytes item, std::string& drive) const {
    return IsClass(item.U8(item_id::kClassTypeAt), ItemClass::Volume) &&
           AnsiZ(item, volume::kVolumeNameAt, drive) && drive.size() >= 2 && drive[1] == ':';
}

// A network location shell item: a server ("\\server") or a share ("\\server\share").
bool Reader::ReadNetworkLocationItem(Bytes item, std::string& location) const {
    return IsClass(item.U8(item_id::kClassTypeAt), ItemClass::NetworkLocation) &&
           AnsiZ(item, network_location::kLocationAt, location) && location.size() >= 3 &&
           location[0] == '\\' && location[1] == '\\';
}

// A file entry shell item (a folder or a file): the long name from its extension block when
// there is one, else the primary name.
bool Reader::ReadFileEntryItem(Bytes item, std::string& name, bool& folder) const {
    const std::uint8_t classType = item.U8(item_id::kClassTypeAt);
    if (!IsClass(classType, ItemClass::FileEntry))
        return false;
    const Flags<FileEntryFlag> flags(classType);
    const bool unicode = flags.Has(FileEntryFlag::HasUnicodeStrings);
    std::size_t end = 0;
    std::string_view primary;
    if (unicode) {
        if (!item.WideZ(file_entry::kPrimaryNameAt, name, &end))
            return false;
    } else {
        if (!item.AnsiZ(file_entry::kPrimaryNameAt, primary, &end))
            return false;
        name.clear();
    }
    std::string longName;
    if (ReadFileEntryLongName(item, end + (end & 1), longName)) // blocks start at an even offset
        name = longName;
    else if (!unicode)
        name = Ansi(primary);
    folder = flags.Has(FileEntryFlag::IsDirectory);
    return !name.empty();
}

bool Reader::JoinItems(Bytes list, std::size_t offset, IdListPath& path) const {
    IdListItems items;
    if (!items.Split(list))
        return false;
    // Offset 0 is the whole list; the TerminalID's own place is below its last item.
    bool reached = offset == 0 || (list.size() >= 2 && offset == list.size() - 2);
    for (const auto& [at, item] : items) {
        if (at == offset)
            reached = true;
        if (at < offset)
            continue;
        std::string name;
        if (!ReadFileEntryItem(item, name, path.folder))
            return false;
        path.path = winpath::Join(path.path, name);
    }
    return reached || offset >= list.size();
}

bool Reader::FolderPlace(const KnownFolder& folder, std::string& place) const {
    if (context_.knownFolder)
        return context_.knownFolder(folder, place) && winpath::IsFullPath(place);
    return DefaultFolderPlace(folder, context_.environment, place);
}

// The path an ID list names: a root folder item, then a drive and file entries, a server, a
// share and file entries, or file entries below a shell folder's place.
IdListPath Reader::PathFromIdList(Bytes list) const {
    using Kind = IdListPath::Kind;
    IdListPath result;
    IdListItems items;
    if (!items.Split(list) || items.empty())
        return result;
    std::string id;
    const IdListRoot root = ReadRootFolderItem(items[0].second, id);
    if (root == IdListRoot::None)
        return result;
    std::size_t next = 1;
    if (root == IdListRoot::MyComputer) {
        if (items.size() < 2 || !ReadVolumeItem(items[1].second, result.path))
            return result;
        next = 2;
    } else if (root == IdListRoot::Network) {
        // A server, then a share; file-system items follow only a share.
        while (next < items.size() && ReadNetworkLocationItem(items[next].second, result.path) &&
               result.path.find('\\', 2) == std::string::npos)
            ++next;
        if (next >= items.size() || result.path.find('\\', 2) == std::string::npos)
            return result;
        ++next;
    } else {
        const KnownFolder* folder = FindKnownFolder(id);
        result.detail = folder ? folder->name : id;
        if (!folder || *folder->place == '\0') {
            result.kind = Kind::Virtual;
            return result;
        }
        if (!FolderPlace(*folder, result.path)) {
            result.kind = Kind::UnplacedFolder;
            return result;
        }
    }
    result.folder = true;
    const std::size_t offset = next < items.size() ? items[next].first : list.size();
    if (!JoinItems(list, offset, result))
        return result;
    result.kind = Kind::Path;
    return result;
}

// CommonNetworkRelativeLink, where LinkInfo's offset points: its NetName (the share).
bool Reader::ReadCommonNetworkRelativeLink(Bytes info, std::string& netName) const {
    namespace cnrl = common_network_relative_link;
    const std::size_t at = info.U32(link_info::kCommonNetworkRelativeLinkOffsetAt);
    const std::size_t size = info.U32(at + cnrl::kCommonNetworkRelativeLinkSizeAt);
    const Bytes link = info.Sub(at, size);
    if (size < cnrl::kSizeAnsi || link.size() == 0)
        return false;
    const std::size_t ansiAt = link.U32(cnrl::kNetNameOffsetAt);
    const std::size_t unicodeAt =
        (ansiAt > cnrl::kSizeAnsi && link.Has(cnrl::kNetNameOffsetUnicodeAt, 4))
            ? link.U32(cnrl::kNetNameOffsetUnicodeAt)
            : 0;
    return OffsetString(link, unicodeAt, ansiAt, netName);
}

// LinkInfo: the local path and the network path it stores, each joined with the common path
// suffix; false when a string it points to is not inside it.
bool Reader::ReadLinkInfo(Bytes info, LinkInfoPaths& out) const {
    const std::size_t headerSize = info.U32(link_info::kLinkInfoHeaderSizeAt);
    if (headerSize < link_info::kHeaderSizeAnsi || headerSize > info.size())
        return false;
    const Flags<LinkInfoFlag> flags(info.U32(link_info::kLinkInfoFlagsAt));
    const bool unicode = headerSize >= link_info::kHeaderSizeUnicode;
    const auto unicodeOffset = [&](std::size_t at) -> std::size_t {
        return unicode ? info.U32(at) : 0;
    };

    std::string suffix;
    const std::size_t suffixU = unicodeOffset(link_info::kCommonPathSuffixOffsetUnicodeAt);
    const std::size_t suffixA = info.U32(link_info::kCommonPathSuffixOffsetAt);
    if ((suffixU != 0 || suffixA != 0) && !OffsetString(info, suffixU, suffixA, suffix))
        return false;

    if (flags.Has(LinkInfoFlag::VolumeIDAndLocalBasePath)) {
        std::string base;
        if (!OffsetString(info, unicodeOffset(link_info::kLocalBasePathOffsetUnicodeAt),
                          info.U32(link_info::kLocalBasePathOffsetAt), base))
            return false;
        if (!base.empty())
            out.local = winpath::Join(base, suffix);
    }
    if (flags.Has(LinkInfoFlag::CommonNetworkRelativeLinkAndPathSuffix)) {
        std::string net;
        if (!ReadCommonNetworkRelativeLink(info, net))
            return false;
        if (!net.empty())
            out.network = winpath::Join(net, suffix);
    }
    return true;
}

// StringData from `off`: where the relative path is, each string decoded into `fields` when
// given, `off` moved past them all; false when one runs past the end.
bool Reader::ReadStringData(Bytes file, std::size_t& off, Flags<LinkFlag> flags,
                            ShortcutFields* fields, StoredString& relativePath) const {
    const bool unicode = flags.Has(LinkFlag::IsUnicode);
    for (const StringDataEntry& entry : kStringData) {
        if (!flags.Has(entry.flag))
            continue;
        StoredString string;
        if (!ReadStoredString(file, off, unicode, string))
            return false;
        if (entry.flag == LinkFlag::HasRelativePath)
            relativePath = string; // decoded only when it is the target
        if (fields)
            fields->*entry.field = Decode(file, string, unicode);
    }
    return true;
}

// An EnvironmentVariableDataBlock or IconEnvironmentDataBlock: its target, Unicode preferred.
std::string Reader::ReadEnvironmentBlock(Bytes block) const {
    std::string text = block.WideCounted(environment_block::kTargetUnicodeAt,
                                         environment_block::kTargetCharacters);
    if (text.empty())
        text = Ansi(block.AnsiCounted(environment_block::kTargetAnsiAt,
                                      environment_block::kTargetCharacters));
    return text;
}

// A KnownFolderDataBlock or SpecialFolderDataBlock: the folder and the offset of its first
// child item in the ID list; false when the block is too small to hold them.
bool ReadFolderBlock(Bytes block, BlockSignature signature, FolderBlock& out) {
    if (signature == BlockSignature::KnownFolderDataBlock &&
        block.size() >= known_folder_block::kBlockSize) {
        unsigned char guid[16];
        for (std::size_t i = 0; i < sizeof guid; ++i)
            guid[i] = block.U8(known_folder_block::kKnownFolderIdAt + i);
        out.id = GuidText(guid);
        out.folder = FindKnownFolder(out.id);
        out.offset = block.U32(known_folder_block::kOffsetAt);
        return out.present = true;
    }
    if (signature == BlockSignature::SpecialFolderDataBlock &&
        block.size() >= special_folder_block::kBlockSize) {
        const auto csidl = static_cast<int>(block.U32(special_folder_block::kSpecialFolderIdAt));
        out.id = "CSIDL " + std::to_string(csidl);
        out.folder = FindSpecialFolder(csidl);
        out.offset = block.U32(special_folder_block::kOffsetAt);
        return out.present = true;
    }
    return false;
}

// ExtraData from `off`: the first environment block's target with text, the known folder
// block (or, without one, the special folder block), and, `withIcon`, the first icon
// environment block's target. It is read leniently: a block smaller than its own header or
// running past the end ends it, as the TerminalBlock does.
ExtraData Reader::ReadExtraData(Bytes file, std::size_t off, bool withIcon) const {
    ExtraData extra;
    while (file.Has(off, 4)) {
        const std::size_t blockSize = file.U32(off + extra_data::kBlockSizeAt);
        if (blockSize < extra_data::kBlockHeaderSize || !file.Has(off, blockSize))
            break;
        const Bytes block = file.Sub(off, blockSize);
        const auto signature =
            static_cast<BlockSignature>(block.U32(extra_data::kBlockSignatureAt));
        if (blockSize >= environment_block::kBlockSize) {
            if (signature == BlockSignature::EnvironmentVariableDataBlock &&
                extra.environmentTarget.empty())
                extra.environmentTarget = ReadEnvironmentBlock(block);
            else if (withIcon && signature == BlockSignature::IconEnvironmentDataBlock &&
                     extra.iconEnvironment.empty())
                extra.iconEnvironment = ReadEnvironmentBlock(block);
        }
        // The known folder block names the same folder as a special folder block beside it,
        // more exactly.
        if (!extra.folderBlock.present || signature == BlockSignature::KnownFolderDataBlock) {
            FolderBlock folder;
            if (ReadFolderBlock(block, signature, folder))
                extra.folderBlock = folder;
        }
        off += blockSize;
    }
    return extra;
}

// The first source that names the target, in the order lnk_format.h lists.
TargetReading Reader::SelectTarget(Bytes file, Flags<LinkFlag> flags, const Sources& sources,
                                   ShortcutFields* fields) const {
    TargetReading reading;
    reading.gap = TargetGap::NoTarget;
    // A source that cannot be followed here is remembered, and said when nothing else names
    // the target.
    const auto remember = [&reading](TargetGap gap, std::string detail) {
        if (reading.gap == TargetGap::NoTarget) {
            reading.gap = gap;
            reading.detail = std::move(detail);
        }
    };
    const auto found = [&](std::string path, TargetSource source) {
        // A path rooted at "\" alone lies on the drive of the shortcut itself.
        if (winpath::RootLength(path) == 1) {
            const std::size_t root = winpath::RootLength(context_.linkPath);
            if (root <= 1) {
                remember(TargetGap::NoPlace, {});
                return false;
            }
            path = std::string(context_.linkPath.substr(0, root)) + path.substr(1);
        }
        if (path.size() > kMaxTargetBytes) {
            reading = {{}, source, TargetGap::TooLong, {}};
            return true;
        }
        reading = {std::move(path), source, TargetGap::None, {}};
        return true;
    };

    if (flags.Has(LinkFlag::HasExpString) && !sources.extra.environmentTarget.empty()) {
        std::string unknown;
        const std::string path = ExpandEnvironmentReferences(sources.extra.environmentTarget,
                                                             context_.environment, &unknown);
        if (!unknown.empty())
            remember(TargetGap::UnknownVariable, unknown);
        else if (winpath::IsFullPath(path) && found(path, TargetSource::Environment))
            return reading;
    }

    const FolderBlock& block = sources.extra.folderBlock;
    if (block.present && !flags.Has(LinkFlag::DisableKnownFolderTracking) && sources.hasIdList) {
        IdListPath below;
        if (block.folder && *block.folder->place != '\0' &&
            FolderPlace(*block.folder, below.path) &&
            JoinItems(sources.idList, block.offset, below)) {
            if (fields)
                fields->targetIsFolder = fields->targetIsFolder || below.folder;
            if (found(below.path, TargetSource::KnownFolder))
                return reading;
        } else if (block.folder && *block.folder->place != '\0') {
            remember(TargetGap::UnknownFolder, block.folder->name);
        }
    }

    const std::string& local = sources.linkInfo.local;
    const std::string& network = sources.linkInfo.network;
    // LinkInfo with a share and no local path: the target was on a network drive where the
    // link was made, whatever letter the ID list spells.
    const TargetSource stored =
        local.empty() && !network.empty() ? TargetSource::NetworkShare : TargetSource::IdList;
    if (sources.hasIdList) {
        IdListPath idList = PathFromIdList(sources.idList);
        if (idList.kind == IdListPath::Kind::Path && !winpath::IsFullPath(idList.path))
            idList.kind = IdListPath::Kind::Unknown; // a drive item without its root, say
        switch (idList.kind) {
        case IdListPath::Kind::Path:
            if (fields)
                fields->targetIsFolder = fields->targetIsFolder || idList.folder;
            // Long names, where LinkInfo spells the same target with them and the ID list
            // does not.
            if (winpath::HasShortName(idList.path) && winpath::IsFullPath(local) &&
                !winpath::HasShortName(local) &&
                winpath::DriveLetter(idList.path) == winpath::DriveLetter(local) &&
                winpath::Names(idList.path).size() == winpath::Names(local).size()) {
                found(local, TargetSource::LocalPath);
                return reading;
            }
            found(idList.path, stored);
            return reading;
        case IdListPath::Kind::UnplacedFolder:
            remember(TargetGap::UnknownFolder, idList.detail);
            return reading;
        case IdListPath::Kind::Virtual:
            remember(TargetGap::ShellFolder, idList.detail);
            return reading;
        case IdListPath::Kind::Unknown: // items this reader does not know: LinkInfo decides
            break;
        }
    }
    if (winpath::IsFullPath(local) && found(local, TargetSource::LocalPath))
        return reading;
    if (winpath::IsFullPath(network) && found(network, TargetSource::NetworkShare))
        return reading;
    if (sources.hasIdList) {
        remember(TargetGap::ShellFolder, {});
        return reading;
    }

    if (sources.relativePath.count != 0) {
        const std::string relative =
            Decode(file, sources.relativePath, flags.Has(LinkFlag::IsUnicode));
        const std::string path = winpath::ResolveRelative(context_.linkPath, relative);
        if (!path.empty() && found(path, TargetSource::RelativePath))
            return reading;
        if (path.empty() && winpath::RootLength(context_.linkPath) == 0)
            remember(TargetGap::NoPlace, {});
    }
    return reading;
}

TargetReading Reader::Target(Bytes file, ShortcutFields* fields) const {
    Flags<LinkFlag> flags;
    if (!ReadHeader(file, flags))
        return {};
    std::size_t off = header::kSize;
    Sources sources;
    if (flags.Has(LinkFlag::HasLinkTargetIDList)) {
        if (!ReadLinkTargetIdList(file, off, sources.idList))
            return {};
        // An empty list (its TerminalID alone) names nothing: the Desktop's own root.
        sources.hasIdList = sources.idList.size() > 2;
    }
    if (flags.Has(LinkFlag::HasLinkInfo)) {
        Bytes info;
        if (!ReadLinkInfoBytes(file, off, info))
            return {};
        if (!flags.Has(LinkFlag::ForceNoLinkInfo) && !ReadLinkInfo(info, sources.linkInfo))
            return {};
    }
    if (!ReadStringData(file, off, flags, fields, sources.relativePath))
        return {};
    if (fields) {
        fields->readable = true;
        ReadHeaderFields(file, *fields);
    }
    sources.extra = ReadExtraData(file, off, fields != nullptr);
    if (fields && fields->iconLocation.empty() && flags.Has(LinkFlag::HasExpIcon))
        fields->iconLocation = sources.extra.iconEnvironment;
    return SelectTarget(file, flags, sources, fields);
}

} // namespace

// The ExpandEnvironmentStrings rule over UTF-8 text.
std::string ExpandEnvironmentReferences(std::string_view text, const EnvLookup& env,
                                        std::string* unknown) {
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
        if (!name.empty() && env && env(name, value)) {
            out += value;
        } else {
            out.append(text.substr(open, close - open + 1));
            if (unknown && unknown->empty() && !name.empty())
                *unknown = name;
        }
        i = close + 1;
    }
    return out;
}

bool DefaultFolderPlace(const KnownFolder& folder, const EnvLookup& env, std::string& place) {
    if (*folder.place == '\0')
        return false;
    std::string profile;
    const bool xp = *folder.xpPlace != '\0' && env && env("USERPROFILE", profile) &&
                    profile.find("\\Documents and Settings\\") != std::string::npos;
    std::string unknown;
    place = ExpandEnvironmentReferences(xp ? folder.xpPlace : folder.place, env, &unknown);
    return unknown.empty() && winpath::IsFullPath(place);
}

TargetReading ReadTarget(const unsigned char* data, std::size_t size, const ReadContext& context) {
    return Reader(context).Target(Bytes(data, size));
}

std::string ReadShortcutTarget(const unsigned char* data, std::size_t size,
                               const ReadContext& context) {
    return ReadTarget(data, size, context).path;
}

ShortcutFields ReadShortcutFields(const unsigned char* data, std::size_t size,
                                  const ReadContext& context) {
    ShortcutFields fields;
    fields.reading = Reader(context).Target(Bytes(data, size), &fields);
    if (!fields.readable)
        return {};
    fields.target = fields.reading.path;
    return fields;
}

} // namespace lnk
