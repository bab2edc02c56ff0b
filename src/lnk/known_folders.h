// The shell folders a shortcut's ID list can start in: the known folders (by their GUID, as a
// KnownFolderDataBlock or a root item names them) and the older special folders (by CSIDL, as
// a SpecialFolderDataBlock names them), with the place each has on a Windows with its
// defaults. A folder with no place is virtual (Control Panel, the Recycle Bin, Libraries):
// nothing in it is a file-system target.
#pragma once

#include <string>
#include <string_view>

namespace lnk {

struct KnownFolder {
    const char* id;      // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper case
    int csidl;           // the CSIDL_* of the same folder; -1 for none
    const char* name;    // the name people know it by
    const char* place;   // its default place from Vista on, with %NAME% references; "" virtual
    const char* xpPlace; // where a profile under "Documents and Settings" keeps it; "" same
};

// The folder of that GUID text (any letter case); nullptr when it is not one of them.
const KnownFolder* FindKnownFolder(std::string_view id);
// The folder of that CSIDL (the CSIDL_FLAG_* bits ignored); nullptr when it is not one.
const KnownFolder* FindSpecialFolder(int csidl);

// A GUID as stored (Data1 to Data3 little-endian, then eight bytes) in its text form.
std::string GuidText(const unsigned char* bytes);

} // namespace lnk
