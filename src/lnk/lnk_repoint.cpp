// The structures of a shell link located (not interpreted) as a map of byte ranges, so the
// writer can copy every range it does not rewrite; the traces read from the ranges that keep
// them. Field names: lnk/lnk_layout.h.
#include "lnk/lnk_repoint.h"

#include "base/text.h"
#include "base/windows_path.h"
#include "lnk/lnk_layout.h"

#include <algorithm>
#include <cstring>

namespace lnk {
namespace {

using namespace layout;
using Buffer = std::vector<unsigned char>;

std::uint32_t Get(const unsigned char* data, std::size_t size, std::size_t at, int bytes) {
    if (at > size || static_cast<std::size_t>(bytes) > size - at)
        return 0;
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | data[at + static_cast<std::size_t>(i)];
    return value;
}

void Put(Buffer& b, std::size_t at, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        b[at + static_cast<std::size_t>(i)] = static_cast<unsigned char>(value >> (8 * i));
}
void Append(Buffer& b, std::uint64_t value, int bytes) {
    b.resize(b.size() + static_cast<std::size_t>(bytes));
    Put(b, b.size() - static_cast<std::size_t>(bytes), value, bytes);
}
void AppendBytes(Buffer& b, const unsigned char* data, std::size_t size) {
    b.insert(b.end(), data, data + size);
}

// UTF-8 as UTF-16 code units; a byte that starts no valid sequence becomes U+FFFD.
std::u16string Utf16(std::string_view text) {
    std::u16string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t len = c < 0x80         ? 1
                                : (c >> 5) == 6  ? 2
                                : (c >> 4) == 14 ? 3
                                : (c >> 3) == 30 ? 4
                                                 : 0;
        char32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
        bool ok = len != 0 && i + len <= text.size();
        for (std::size_t k = 1; ok && k < len; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            ok = (next & 0xC0) == 0x80;
            cp = (cp << 6) | (next & 0x3F);
        }
        if (!ok) {
            out.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += len;
    }
    return out;
}

void AppendWideZ(Buffer& b, std::string_view text) {
    for (char16_t unit : Utf16(text))
        Append(b, unit, 2);
    Append(b, 0, 2);
}
// ASCII text as stored; anything else with '?' for each character outside ASCII, as a
// conversion to a code page that lacks it writes.
std::string AsciiForm(std::string_view text) {
    std::string out;
    for (char16_t unit : Utf16(text))
        if (unit < 0xDC00 || unit > 0xDFFF) // one '?' per surrogate pair
            out.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
    return out;
}
void AppendAnsiZ(Buffer& b, std::string_view text) {
    const std::string ascii = AsciiForm(text);
    AppendBytes(b, reinterpret_cast<const unsigned char*>(ascii.data()), ascii.size());
    b.push_back(0);
}

// A byte range of the file.
struct Range {
    std::size_t at = 0, size = 0;
    bool present = false;
};
struct Block {
    Range range;
    std::uint32_t signature = 0;
};

// Where each structure of a readable shortcut is, as the reader walks them.
struct Structure {
    std::uint32_t flags = 0;
    Range idList;   // IDListSize and the IDList
    Range linkInfo; // the whole LinkInfo
    Range strings[5];
    std::vector<Block> blocks;
    std::size_t blocksEnd = 0; // the first byte after the last whole block

    bool Has(LinkFlag flag) const { return (flags & static_cast<std::uint32_t>(flag)) != 0; }
};

constexpr LinkFlag kStringFlags[5] = {LinkFlag::HasName, LinkFlag::HasRelativePath,
                                      LinkFlag::HasWorkingDir, LinkFlag::HasArguments,
                                      LinkFlag::HasIconLocation};
enum StringIndex { kName, kRelativePath, kWorkingDir, kArguments, kIconLocation };

bool Locate(const unsigned char* data, std::size_t size, Structure& s) {
    if (size < header::kSize || Get(data, size, header::kHeaderSizeAt, 4) != header::kSize ||
        std::memcmp(data + header::kLinkClsidAt, kLinkClsid, sizeof kLinkClsid) != 0)
        return false;
    s.flags = Get(data, size, header::kLinkFlagsAt, 4);
    std::size_t off = header::kSize;
    const auto take = [&](Range& range, std::size_t length) {
        if (off > size || length > size - off)
            return false;
        range = {off, length, true};
        off += length;
        return true;
    };
    if (s.Has(LinkFlag::HasLinkTargetIDList) &&
        !take(s.idList, 2 + static_cast<std::size_t>(Get(data, size, off, 2))))
        return false;
    if (s.Has(LinkFlag::HasLinkInfo)) {
        const std::size_t length = Get(data, size, off, 4);
        if (length < link_info::kMinSize || !take(s.linkInfo, length))
            return false;
    }
    const std::size_t unit = s.Has(LinkFlag::IsUnicode) ? 2 : 1;
    for (std::size_t i = 0; i < 5; ++i)
        if (s.Has(kStringFlags[i]) &&
            (size - off < 2 || !take(s.strings[i], 2 + unit * Get(data, size, off, 2))))
            return false;
    while (off <= size && size - off >= 4) {
        const std::size_t length = Get(data, size, off + extra_data::kBlockSizeAt, 4);
        if (length < extra_data::kBlockHeaderSize || length > size - off)
            break;
        s.blocks.push_back(
            {{off, length, true}, Get(data, size, off + extra_data::kBlockSignatureAt, 4)});
        off += length;
    }
    s.blocksEnd = off;
    return true;
}

bool IsBlock(const Block& block, BlockSignature signature) {
    return block.signature == static_cast<std::uint32_t>(signature);
}

// The text of a StringData range, as the reader decodes it (ANSI as Windows-1252 or by the
// context).
std::string StoredText(const unsigned char* data, const Range& r, bool unicode,
                       const ReadContext& context) {
    std::string text;
    const unsigned char* p = data + r.at + string_data::kStringAt;
    const std::size_t count = (r.size - 2) / (unicode ? 2 : 1);
    if (unicode) {
        AppendUtf16LeAsUtf8(text, p, count);
    } else {
        const std::string_view bytes(reinterpret_cast<const char*>(p), count);
        if (IsAscii(bytes) || !context.ansi || !context.ansi(bytes, text))
            text = IsAscii(bytes) ? std::string(bytes) : Windows1252ToUtf8(bytes);
    }
    // Wine counts the terminating zero in the string's length.
    text.resize(std::min(text.size(), text.find('\0')));
    return text;
}

// A StringData string in the file's encoding; false when ANSI cannot hold it.
bool EncodeString(Buffer& b, std::string_view text, bool unicode) {
    const std::u16string units = Utf16(text);
    if (units.size() > 0xFFFF || (!unicode && !IsAscii(text)))
        return false;
    Append(b, units.size(), 2);
    for (char16_t unit : units) {
        if (unicode)
            Append(b, unit, 2);
        else
            b.push_back(static_cast<unsigned char>(unit));
    }
    return true;
}

// The ID list of a drive path: My Computer, the drive, a file entry per name.
Buffer IdListFor(const NewTarget& target) {
    Buffer list;
    Append(list, 20, 2); // the root item: size, class type, sort index, GUID
    list.push_back(kRootFolderClassType);
    list.push_back(0x50);
    AppendBytes(list, kMyComputerId, sizeof kMyComputerId);
    constexpr std::size_t kDriveItemSize = 25; // as Windows writes it
    const std::size_t drive = list.size();
    Append(list, kDriveItemSize, 2);
    list.push_back(0x2F);
    const char root[] = {winpath::DriveLetter(target.path), ':', '\\'};
    AppendBytes(list, reinterpret_cast<const unsigned char*>(root), sizeof root);
    list.resize(drive + kDriveItemSize, 0);

    const std::vector<std::string_view> names =
        winpath::Names(std::string_view(target.path).substr(3));
    for (std::size_t i = 0; i < names.size(); ++i) {
        const bool folder = i + 1 < names.size() || target.folder;
        Buffer item(2, 0);
        item.push_back(
            static_cast<unsigned char>(static_cast<std::uint8_t>(ItemClass::FileEntry) |
                                       static_cast<std::uint8_t>(folder ? FileEntryFlag::IsDirectory
                                                                        : FileEntryFlag::IsFile)));
        item.push_back(0);
        Append(item, folder ? 0 : static_cast<std::uint32_t>(target.size), 4);
        Append(item, 0, 4); // FAT date and time: not needed to find it
        Append(item, folder ? 0x10 : 0x20, 2);
        AppendAnsiZ(item, names[i]);
        if (item.size() & 1)
            item.push_back(0);
        // The file entry extension block, version 3, as Windows XP writes it: the long name,
        // then the offset of the block in its item.
        const std::size_t ext = item.size();
        Append(item, 0, 2);
        Append(item, 3, 2);
        Append(item, file_entry_extension::kSignature, 4);
        Append(item, 0, 8); // creation and access times (FAT)
        Append(item, 0, 4); // an unknown value and the size of a localised name (none)
        AppendWideZ(item, names[i]);
        Append(item, ext, 2);
        Put(item, ext, item.size() - ext, 2);
        Put(item, 0, item.size(), 2);
        list.insert(list.end(), item.begin(), item.end());
    }
    Append(list, 0, 2); // TerminalID
    Buffer out;
    Append(out, list.size(), 2);
    out.insert(out.end(), list.begin(), list.end());
    return out;
}

// The VolumeID structure of LinkInfo at `info`, when it is whole there.
Range VolumeIdRange(const unsigned char* data, const Range& info) {
    const unsigned char* p = data + info.at;
    if (!info.present ||
        Get(p, info.size, link_info::kLinkInfoHeaderSizeAt, 4) < link_info::kHeaderSizeAnsi ||
        (Get(p, info.size, link_info::kLinkInfoFlagsAt, 4) &
         static_cast<std::uint32_t>(LinkInfoFlag::VolumeIDAndLocalBasePath)) == 0)
        return {};
    const std::size_t at = Get(p, info.size, link_info::kVolumeIdOffsetAt, 4);
    const std::size_t size = Get(p, info.size, at + volume_id::kVolumeIdSizeAt, 4);
    if (size < volume_id::kSizeAnsi || at > info.size || size > info.size - at)
        return {};
    return {info.at + at, size, true};
}

// LinkInfo with a volume and a local path; the old VolumeID copied when given.
Buffer LinkInfoFor(const NewTarget& target, const unsigned char* data, const Range& oldVolume) {
    const bool unicode = !IsAscii(target.path) || !IsAscii(target.volumeLabel);
    const std::size_t headerSize =
        unicode ? link_info::kHeaderSizeUnicode : link_info::kHeaderSizeAnsi;
    Buffer b(headerSize, 0);
    Put(b, link_info::kLinkInfoHeaderSizeAt, headerSize, 4);
    Put(b, link_info::kLinkInfoFlagsAt,
        static_cast<std::uint32_t>(LinkInfoFlag::VolumeIDAndLocalBasePath), 4);
    Put(b, link_info::kVolumeIdOffsetAt, b.size(), 4);
    if (oldVolume.present) {
        AppendBytes(b, data + oldVolume.at, oldVolume.size);
    } else {
        const std::size_t at = b.size();
        const bool wideLabel = !IsAscii(target.volumeLabel);
        Append(b, 0, 4);
        Append(b, target.driveType, 4);
        Append(b, target.volumeSerial, 4);
        Append(b, wideLabel ? volume_id::kUnicodeLabelMark : volume_id::kSizeAnsi, 4);
        if (wideLabel) {
            Append(b, volume_id::kUnicodeLabelMark + 1, 4);
            b.push_back(0); // the ANSI label, empty
            AppendWideZ(b, target.volumeLabel);
        } else {
            AppendAnsiZ(b, target.volumeLabel);
        }
        Put(b, at, b.size() - at, 4);
    }
    Put(b, link_info::kLocalBasePathOffsetAt, b.size(), 4);
    AppendAnsiZ(b, target.path);
    Put(b, link_info::kCommonPathSuffixOffsetAt, b.size(), 4);
    b.push_back(0);
    if (unicode) {
        if (b.size() & 1)
            b.push_back(0);
        Put(b, link_info::kLocalBasePathOffsetUnicodeAt, b.size(), 4);
        AppendWideZ(b, target.path);
        Put(b, link_info::kCommonPathSuffixOffsetUnicodeAt, b.size(), 4);
        Append(b, 0, 2);
    }
    Put(b, link_info::kLinkInfoSizeAt, b.size(), 4);
    return b;
}

// The path from the folder of `linkPath` to `target` on the same drive (".\x", "..\x"); ""
// when they are on different drives or either is not a drive path.
std::string RelativePath(std::string_view linkPath, std::string_view target) {
    const char letter = winpath::DriveLetter(target);
    if (letter == 0 || winpath::DriveLetter(linkPath) != letter ||
        winpath::RootLength(linkPath) != 3 || winpath::RootLength(target) != 3)
        return {};
    std::vector<std::string_view> from = winpath::Names(linkPath.substr(3));
    if (from.empty())
        return {};
    from.pop_back(); // the shortcut's own name
    const std::vector<std::string_view> to = winpath::Names(target.substr(3));
    std::size_t common = 0;
    while (common < from.size() && common < to.size() &&
           winpath::SameName(from[common], to[common]))
        ++common;
    std::string path = common == from.size() ? "." : "";
    for (std::size_t i = common; i < from.size(); ++i)
        path += path.empty() ? ".." : "\\..";
    for (std::size_t i = common; i < to.size(); ++i)
        path = winpath::Join(path, to[i]);
    return path;
}

// A path without the separator a folder may be written with.
std::string_view Trimmed(std::string_view path) {
    while (path.size() > winpath::RootLength(path) && winpath::IsSeparator(path.back()))
        path.remove_suffix(1);
    return path;
}
std::string_view FolderOf(std::string_view path) {
    const std::size_t cut = path.find_last_of("\\/");
    return cut == std::string_view::npos ? std::string_view() : Trimmed(path.substr(0, cut + 1));
}

// The environment block's target re-expressed for `target`: as stored when it expands to it,
// through its leading %NAME% when that variable's value holds it; "" when neither.
std::string EnvironmentFor(const std::string& stored, const NewTarget& target,
                           const ReadContext& context) {
    std::string unknown;
    if (winpath::SameName(ExpandEnvironmentReferences(stored, context.environment, &unknown),
                          target.path) &&
        unknown.empty())
        return stored;
    const std::size_t close =
        stored.size() > 2 && stored[0] == '%' ? stored.find('%', 1) : std::string::npos;
    std::string value;
    if (close == std::string::npos || !context.environment ||
        !context.environment(std::string_view(stored).substr(1, close - 1), value) ||
        !winpath::IsFullPath(value) || !winpath::IsInFolder(target.path, value))
        return {};
    const std::string_view base = Trimmed(value);
    std::string rewritten = stored.substr(0, close + 1) + target.path.substr(base.size());
    return Utf16(rewritten).size() < environment_block::kTargetCharacters ? rewritten
                                                                          : std::string();
}

Buffer EnvironmentBlock(const unsigned char* data, const Range& old, const std::string& text) {
    Buffer b(data + old.at, data + old.at + old.size);
    std::fill(b.begin() + environment_block::kTargetAnsiAt,
              b.begin() + environment_block::kTargetUnicodeAt +
                  2 * environment_block::kTargetCharacters,
              0);
    const std::string ascii = AsciiForm(text);
    std::memcpy(b.data() + environment_block::kTargetAnsiAt, ascii.data(), ascii.size());
    const std::u16string units = Utf16(text);
    for (std::size_t i = 0; i < units.size(); ++i)
        Put(b, environment_block::kTargetUnicodeAt + 2 * i, units[i], 2);
    return b;
}

std::string EnvironmentText(const unsigned char* data, const Range& r) {
    std::string text;
    const unsigned char* p = data + r.at + environment_block::kTargetUnicodeAt;
    std::size_t units = 0;
    while (units < environment_block::kTargetCharacters && (p[2 * units] | p[2 * units + 1]) != 0)
        ++units;
    AppendUtf16LeAsUtf8(text, p, units);
    if (text.empty()) {
        const char* a =
            reinterpret_cast<const char*>(data + r.at + environment_block::kTargetAnsiAt);
        text = Windows1252ToUtf8(
            std::string_view(a, strnlen(a, environment_block::kTargetCharacters)));
    }
    return text;
}

} // namespace

TargetTraces ReadTargetTraces(const unsigned char* data, std::size_t size,
                              const ReadContext& context) {
    TargetTraces traces;
    Structure s;
    if (!Locate(data, size, s))
        return traces;
    traces.readable = true;
    traces.attributes = Get(data, size, header::kFileAttributesAt, 4);
    traces.size = Get(data, size, header::kFileSizeAt, 4);
    traces.created =
        Get(data, size, header::kCreationTimeAt, 4) |
        (static_cast<std::uint64_t>(Get(data, size, header::kCreationTimeAt + 4, 4)) << 32);
    traces.written =
        Get(data, size, header::kWriteTimeAt, 4) |
        (static_cast<std::uint64_t>(Get(data, size, header::kWriteTimeAt + 4, 4)) << 32);
    const Range volume = VolumeIdRange(data, s.linkInfo);
    if (volume.present) {
        const unsigned char* v = data + volume.at;
        traces.hasVolume = true;
        traces.driveType = Get(v, volume.size, volume_id::kDriveTypeAt, 4);
        traces.volumeSerial = Get(v, volume.size, volume_id::kDriveSerialNumberAt, 4);
        std::size_t label = Get(v, volume.size, volume_id::kVolumeLabelOffsetAt, 4);
        const bool wide = label == volume_id::kUnicodeLabelMark;
        if (wide)
            label = Get(v, volume.size, volume_id::kVolumeLabelOffsetUnicodeAt, 4);
        std::size_t end = label;
        while (end + (wide ? 1 : 0) < volume.size && (v[end] | (wide ? v[end + 1] : 0)) != 0)
            end += wide ? 2 : 1;
        if (label < volume.size && end + (wide ? 1 : 0) < volume.size) {
            if (wide) {
                AppendUtf16LeAsUtf8(traces.volumeLabel, v + label, (end - label) / 2);
            } else {
                const std::string_view bytes(reinterpret_cast<const char*>(v + label), end - label);
                if (IsAscii(bytes) || !context.ansi || !context.ansi(bytes, traces.volumeLabel))
                    traces.volumeLabel = Windows1252ToUtf8(bytes);
            }
        }
    }
    for (const Block& block : s.blocks)
        if (IsBlock(block, BlockSignature::TrackerDataBlock) &&
            block.range.size >= tracker_block::kBlockSize) {
            traces.hasTracker = true;
            std::memcpy(traces.volumeId.data(),
                        data + block.range.at + tracker_block::kDroidVolumeIdAt, 16);
            std::memcpy(traces.objectId.data(),
                        data + block.range.at + tracker_block::kDroidFileIdAt, 16);
            break;
        }
    return traces;
}

Repointed RepointShortcut(const unsigned char* data, std::size_t size, const NewTarget& target,
                          const ReadContext& context) {
    Structure s;
    const TargetReading old = ReadTarget(data, size, context);
    if (!Locate(data, size, s) || old.gap == TargetGap::Unreadable)
        return {{}, "the shortcut could not be read"};
    if (s.Has(LinkFlag::HasDarwinID))
        return {{}, "an installer's shortcut (advertised): its installer repairs it"};
    if (winpath::DriveLetter(target.path) == 0 || winpath::RootLength(target.path) != 3 ||
        target.path.size() > kMaxTargetBytes)
        return {{}, "the new target is not a path on a drive"};
    const bool unicode = s.Has(LinkFlag::IsUnicode);
    std::uint32_t flags = s.flags;
    const auto set = [&flags](LinkFlag flag, bool on) {
        flags = on ? flags | static_cast<std::uint32_t>(flag)
                   : flags & ~static_cast<std::uint32_t>(flag);
    };

    // The environment string, re-expressed or left out.
    std::string environment;
    const Block* environmentBlock = nullptr;
    // Without HasExpString the block names nothing and is copied as it is.
    for (const Block& block : s.blocks)
        if (s.Has(LinkFlag::HasExpString) &&
            IsBlock(block, BlockSignature::EnvironmentVariableDataBlock) &&
            block.range.size >= environment_block::kBlockSize && !environmentBlock)
            environmentBlock = &block;
    if (environmentBlock)
        environment =
            EnvironmentFor(EnvironmentText(data, environmentBlock->range), target, context);
    set(LinkFlag::HasExpString, !environment.empty());

    // The strings: the relative path rewritten; the working folder and icon moved with the
    // target when they named it or its folder; the others as stored.
    const std::string oldPath = old.gap == TargetGap::None ? old.path : std::string();
    Buffer strings;
    bool hasRelative = false;
    for (std::size_t i = 0; i < 5; ++i) {
        const Range& r = s.strings[i];
        if (!r.present)
            continue;
        if (i == kRelativePath) {
            const std::string relative = RelativePath(context.linkPath, target.path);
            hasRelative = !relative.empty() && EncodeString(strings, relative, unicode);
            continue;
        }
        if ((i == kWorkingDir || i == kIconLocation) && !oldPath.empty()) {
            const std::string text = StoredText(data, r, unicode, context);
            const std::string expanded = ExpandEnvironmentReferences(text, context.environment);
            std::string moved;
            if (winpath::SameName(Trimmed(expanded), oldPath))
                moved = target.path;
            else if (winpath::SameName(Trimmed(expanded), FolderOf(oldPath)))
                moved = std::string(FolderOf(target.path));
            if (!moved.empty() && EncodeString(strings, moved, unicode))
                continue;
        }
        AppendBytes(strings, data + r.at, r.size);
    }
    set(LinkFlag::HasRelativePath, hasRelative);

    const bool idList = s.idList.present;
    const bool linkInfo = s.linkInfo.present || (!idList && environment.empty() && !hasRelative);
    set(LinkFlag::HasLinkInfo, linkInfo);

    Buffer out(data, data + header::kSize);
    Put(out, header::kLinkFlagsAt, flags, 4);
    const std::uint32_t attributes = target.attributes != 0 ? target.attributes
                                     : target.folder
                                         ? static_cast<std::uint32_t>(FileAttribute::Directory)
                                         : static_cast<std::uint32_t>(FileAttribute::Archive);
    Put(out, header::kFileAttributesAt, attributes, 4);
    Put(out, header::kCreationTimeAt, target.created, 8);
    Put(out, header::kAccessTimeAt, target.accessed, 8);
    Put(out, header::kWriteTimeAt, target.written, 8);
    Put(out, header::kFileSizeAt, target.folder ? 0 : static_cast<std::uint32_t>(target.size), 4);
    if (idList) {
        const Buffer list = IdListFor(target);
        if (list.size() > 0xFFFF + 2u)
            return {{}, "the new target's path is too deep for the shortcut's ID list"};
        out.insert(out.end(), list.begin(), list.end());
    }
    if (linkInfo) {
        const bool sameDrive = winpath::DriveLetter(oldPath) == winpath::DriveLetter(target.path);
        const Buffer info =
            LinkInfoFor(target, data, sameDrive ? VolumeIdRange(data, s.linkInfo) : Range{});
        out.insert(out.end(), info.begin(), info.end());
    }
    out.insert(out.end(), strings.begin(), strings.end());
    for (const Block& block : s.blocks) {
        if (IsBlock(block, BlockSignature::KnownFolderDataBlock) ||
            IsBlock(block, BlockSignature::SpecialFolderDataBlock) ||
            IsBlock(block, BlockSignature::VistaAndAboveIDListDataBlock))
            continue;
        if (&block == environmentBlock) {
            if (!environment.empty()) {
                const Buffer rewritten = EnvironmentBlock(data, block.range, environment);
                out.insert(out.end(), rewritten.begin(), rewritten.end());
            }
            continue;
        }
        AppendBytes(out, data + block.range.at, block.range.size);
    }
    AppendBytes(out, data + s.blocksEnd, size - s.blocksEnd);

    const TargetReading reading = ReadTarget(out.data(), out.size(), context);
    if (reading.gap != TargetGap::None || !winpath::SameName(reading.path, target.path))
        return {{}, "the rewritten shortcut would not name the new target"};
    return {std::move(out), {}};
}

} // namespace lnk
