// Shell link (.lnk) layout: a ShellLinkHeader, an optional LinkTargetIDList, an optional
// LinkInfo, up to five StringData strings and a chain of ExtraData blocks (lnk/lnk_layout.h
// names every field). One function reads each structure; Reader::Target composes them and
// picks the target by the rules of lnk_format.h.
#include "lnk/lnk_format.h"

#include "base/text.h"
#include "lnk/lnk_layout.h"
#include "lnk/target_path.h"

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

// The environment-style blocks' texts, as stored (never expanded); "" when absent.
struct ExtraData {
    std::string environmentTarget;
    std::string iconEnvironment;
};

// What the structures of one file hold that the target is chosen from.
struct Sources {
    Bytes idList;
    LinkInfoPaths linkInfo;
    StoredString relativePath;
    ExtraData extra;
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

// The whole target, or "" for one longer than any path the system can open: a part of a
// path names another file, so a target is never cut.
std::string Capped(std::string s) { return s.size() <= kMaxTargetBytes ? s : std::string(); }

// Where an ID list leads from its first item.
enum class IdListRoot { None, MyComputer, Network };

// A root folder shell item: the root it names, None for any other item or root.
IdListRoot ReadRootFolderItem(Bytes item) {
    if (item.U8(item_id::kClassTypeAt) != kRootFolderClassType ||
        !item.Has(root_folder::kShellFolderIdAt, sizeof kMyComputerId))
        return IdListRoot::None;
    if (item.Equals(root_folder::kShellFolderIdAt, kMyComputerId))
        return IdListRoot::MyComputer;
    if (item.Equals(root_folder::kShellFolderIdAt, kNetworkId))
        return IdListRoot::Network;
    return IdListRoot::None;
}

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
    std::string Target(Bytes file, ShortcutFields* fields = nullptr) const;

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
    // `folder`: whether the last item names a folder (a drive, a share or a folder item).
    bool PathFromIdList(Bytes list, std::string& path, bool& folder) const;
    bool ReadCommonNetworkRelativeLink(Bytes info, std::string& netName) const;
    bool ReadLinkInfo(Bytes info, LinkInfoPaths& out) const;
    bool ReadStringData(Bytes file, std::size_t& off, Flags<LinkFlag> flags, ShortcutFields* fields,
                        StoredString& relativePath) const;
    std::string ReadEnvironmentBlock(Bytes block) const;
    ExtraData ReadExtraData(Bytes file, std::size_t off, bool withIcon) const;
    std::string SelectTarget(Bytes file, Flags<LinkFlag> flags, const Sources& sources,
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

// The file-system path an ID list names: a root folder item, then a drive and file entries,
// or a server, a share and file entries; false when it names none.
bool Reader::PathFromIdList(Bytes list, std::string& path, bool& folder) const {
    enum class State { Start, Computer, Network, Path } state = State::Start;
    path.clear();
    std::size_t off = 0;
    while (list.Has(off, 2)) {
        const std::size_t itemSize = list.U16(off + item_id::kItemIdSizeAt);
        if (itemSize == 0)
            break; // TerminalID
        if (itemSize < item_id::kMinSize || !list.Has(off, itemSize))
            return false;
        const Bytes item = list.Sub(off, itemSize);
        off += itemSize;
        std::string name;
        switch (state) {
        case State::Start: {
            const IdListRoot root = ReadRootFolderItem(item);
            if (root == IdListRoot::None)
                return false;
            state = root == IdListRoot::MyComputer ? State::Computer : State::Network;
            break;
        }
        case State::Computer:
            if (!ReadVolumeItem(item, path))
                return false;
            folder = true;
            state = State::Path;
            break;
        case State::Network:
            if (!ReadNetworkLocationItem(item, path))
                return false;
            folder = true;
            if (path.find('\\', 2) != std::string::npos)
                state = State::Path; // a share: file-system items may follow
            break;
        case State::Path:
            if (!ReadFileEntryItem(item, name, folder))
                return false;
            path = JoinPath(path, name);
            break;
        }
    }
    return state == State::Path;
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
            out.local = JoinPath(base, suffix);
    }
    if (flags.Has(LinkInfoFlag::CommonNetworkRelativeLinkAndPathSuffix)) {
        std::string net;
        if (!ReadCommonNetworkRelativeLink(info, net))
            return false;
        if (!net.empty())
            out.network = JoinPath(net, suffix);
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

// ExtraData from `off`: the first environment block's target with text (and, `withIcon`, the
// first icon environment block's). It is read leniently: a block smaller than its own header
// or running past the end ends it, as the TerminalBlock does.
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
        off += blockSize;
    }
    return extra;
}

// The first source that gives a full path, in the order lnk_format.h lists.
std::string Reader::SelectTarget(Bytes file, Flags<LinkFlag> flags, const Sources& sources,
                                 ShortcutFields* fields) const {
    std::string path;
    if (flags.Has(LinkFlag::HasExpString) && !sources.extra.environmentTarget.empty()) {
        path = ExpandEnvironmentReferences(sources.extra.environmentTarget, context_.environment);
        if (IsFullPath(path))
            return Capped(path);
    }
    bool folder = false;
    if (PathFromIdList(sources.idList, path, folder) && IsFullPath(path)) {
        if (fields)
            fields->targetIsFolder = fields->targetIsFolder || folder;
        return Capped(path);
    }
    for (const std::string* stored : {&sources.linkInfo.local, &sources.linkInfo.network})
        if (IsFullPath(*stored))
            return Capped(*stored);
    if (sources.relativePath.count == 0)
        return {};
    const std::string relative = Decode(file, sources.relativePath, flags.Has(LinkFlag::IsUnicode));
    return Capped(ResolveRelativePath(context_.linkPath, relative));
}

std::string Reader::Target(Bytes file, ShortcutFields* fields) const {
    Flags<LinkFlag> flags;
    if (!ReadHeader(file, flags))
        return {};
    std::size_t off = header::kSize;
    Sources sources;
    if (flags.Has(LinkFlag::HasLinkTargetIDList) &&
        !ReadLinkTargetIdList(file, off, sources.idList))
        return {};
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
std::string ExpandEnvironmentReferences(std::string_view text, const EnvLookup& env) {
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
