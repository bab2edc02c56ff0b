#include "lnk/known_folders.h"

#include "base/windows_path.h"

#include <cstdio>

namespace lnk {
namespace {

// The known folders of Microsoft's KnownFolders.h and the shell folder classes that start an
// ID list as its root item, with their default places.
constexpr KnownFolder kFolders[] = {
    // The user's own folders.
    {"{5E6C858F-0E22-4760-9AFE-EA3317B67173}", 0x28, "Profile", "%USERPROFILE%", ""},
    {"{59031A47-3F72-44A7-89C5-5595FE6B30EE}", -1, "User files", "%USERPROFILE%", ""},
    {"{B4BFCC3A-DB2C-424C-B029-7FE99A87C641}", 0x10, "Desktop", "%USERPROFILE%\\Desktop", ""},
    {"{FDD39AD0-238F-46AF-ADB4-6C85480369C7}", 0x05, "Documents", "%USERPROFILE%\\Documents",
     "%USERPROFILE%\\My Documents"},
    {"{450D8FBA-AD25-11D0-98A8-0800361B1103}", -1, "Documents", "%USERPROFILE%\\Documents",
     "%USERPROFILE%\\My Documents"},
    {"{374DE290-123F-4565-9164-39C4925E467B}", -1, "Downloads", "%USERPROFILE%\\Downloads", ""},
    {"{4BD8D571-6D19-48D3-BE97-422220080E43}", 0x0D, "Music", "%USERPROFILE%\\Music",
     "%USERPROFILE%\\My Documents\\My Music"},
    {"{33E28130-4E1E-4676-835A-98395C3BC3BB}", 0x27, "Pictures", "%USERPROFILE%\\Pictures",
     "%USERPROFILE%\\My Documents\\My Pictures"},
    {"{18989B1D-99B5-455B-841C-AB7C74E4DDFC}", 0x0E, "Videos", "%USERPROFILE%\\Videos",
     "%USERPROFILE%\\My Documents\\My Videos"},
    {"{1777F761-68AD-4D8A-87BD-30B759FA33DD}", 0x06, "Favorites", "%USERPROFILE%\\Favorites", ""},
    {"{BFB9D5E0-C6A9-404C-B2B2-AE6DB6AF4968}", -1, "Links", "%USERPROFILE%\\Links", ""},
    {"{7D1D3A04-DEBB-4115-95CF-2F29DA2920DA}", -1, "Searches", "%USERPROFILE%\\Searches", ""},
    {"{4C5C32FF-BB9D-43B0-B5B4-2D72E54EAAA4}", -1, "Saved Games", "%USERPROFILE%\\Saved Games", ""},
    {"{56784854-C6CB-462B-8169-88E350ACB882}", -1, "Contacts", "%USERPROFILE%\\Contacts", ""},
    {"{3EB685DB-65F9-4CF6-A03A-E3EF65729F3D}", 0x1A, "AppData", "%APPDATA%", ""},
    {"{F1B32785-6FBA-4FCF-9D55-7B8E7F157091}", 0x1C, "Local AppData", "%LOCALAPPDATA%", ""},
    {"{625B53C3-AB48-4EC1-BA1F-A1EF4146FC19}", 0x0B, "Start Menu",
     "%APPDATA%\\Microsoft\\Windows\\Start Menu", "%USERPROFILE%\\Start Menu"},
    {"{A77F5D77-2E2B-44C3-A6A2-ABA601054A51}", 0x02, "Programs",
     "%APPDATA%\\Microsoft\\Windows\\Start Menu\\Programs", "%USERPROFILE%\\Start Menu\\Programs"},
    {"{B97D20BB-F46A-4C97-BA10-5E3608430854}", 0x07, "Startup",
     "%APPDATA%\\Microsoft\\Windows\\Start Menu\\Programs\\Startup",
     "%USERPROFILE%\\Start Menu\\Programs\\Startup"},
    {"{8983036C-27C0-404B-8F08-102D10DCFD74}", 0x09, "SendTo",
     "%APPDATA%\\Microsoft\\Windows\\SendTo", "%USERPROFILE%\\SendTo"},
    {"{AE50C081-EBD2-438A-8655-8A092E34987A}", 0x08, "Recent",
     "%APPDATA%\\Microsoft\\Windows\\Recent", "%USERPROFILE%\\Recent"},
    {"{A63293E8-664E-48DB-A079-DF759E0509F7}", 0x15, "Templates",
     "%APPDATA%\\Microsoft\\Windows\\Templates", "%USERPROFILE%\\Templates"},
    {"{52A4F021-7B75-48A9-9F6B-4B87A210BC8F}", -1, "Quick Launch",
     "%APPDATA%\\Microsoft\\Internet Explorer\\Quick Launch", ""},
    // Everyone's.
    {"{0762D272-C50A-4BB0-A382-697DCD729B80}", -1, "Users", "%SystemDrive%\\Users", ""},
    {"{DFDF76A2-C82A-4D63-906A-5644AC457385}", -1, "Public", "%PUBLIC%", ""},
    {"{4336A54D-038B-4685-AB02-99BB52D3FB8B}", -1, "Public", "%PUBLIC%", ""},
    {"{C4AA340D-F20F-4863-AFEF-F87EF2E6BA25}", 0x19, "Public Desktop", "%PUBLIC%\\Desktop",
     "%ALLUSERSPROFILE%\\Desktop"},
    {"{ED4824AF-DCE4-45A8-81E2-FC7965083634}", 0x2E, "Public Documents", "%PUBLIC%\\Documents",
     "%ALLUSERSPROFILE%\\Documents"},
    {"{3214FAB5-9757-4298-BB61-92A9DEAA44FF}", -1, "Public Music", "%PUBLIC%\\Music", ""},
    {"{B6EBFB86-6907-413C-9AF7-4FC2ABF07CC5}", -1, "Public Pictures", "%PUBLIC%\\Pictures", ""},
    {"{2400183A-6185-49FB-A2D8-4A392A602BA3}", -1, "Public Videos", "%PUBLIC%\\Videos", ""},
    {"{3D644C9B-1FB8-4F30-9B45-F670235F79C0}", -1, "Public Downloads", "%PUBLIC%\\Downloads", ""},
    {"{62AB5D82-FDC1-4DC3-A9DD-070D1D495D97}", 0x23, "ProgramData", "%ProgramData%",
     "%ALLUSERSPROFILE%\\Application Data"},
    {"{A4115719-D62E-491D-AA7C-E74B8BE3B067}", 0x16, "Common Start Menu",
     "%ProgramData%\\Microsoft\\Windows\\Start Menu", "%ALLUSERSPROFILE%\\Start Menu"},
    {"{0139D44E-6AFE-49F2-8690-3DAFCAE6FFB8}", 0x17, "Common Programs",
     "%ProgramData%\\Microsoft\\Windows\\Start Menu\\Programs",
     "%ALLUSERSPROFILE%\\Start Menu\\Programs"},
    {"{82A5EA35-D9CD-47C5-9629-E15D2F714E6E}", 0x18, "Common Startup",
     "%ProgramData%\\Microsoft\\Windows\\Start Menu\\Programs\\Startup",
     "%ALLUSERSPROFILE%\\Start Menu\\Programs\\Startup"},
    {"{905E63B6-C1BF-494E-B29C-65B732D3D21A}", 0x26, "Program Files", "%ProgramFiles%", ""},
    {"{7C5A40EF-A0FB-4BFC-874A-C0F2E0B9FA8E}", 0x2A, "Program Files (x86)", "%ProgramFiles(x86)%",
     ""},
    {"{6D809377-6AF0-444B-8957-A3773F02200E}", -1, "Program Files (64-bit)", "%ProgramW6432%", ""},
    {"{F7F1ED05-9F6D-47A2-AAAE-29D317C6F066}", 0x2B, "Common Files", "%CommonProgramFiles%", ""},
    {"{F38BF404-1D43-42F2-9305-67DE0B28FC23}", 0x24, "Windows", "%SystemRoot%", ""},
    {"{1AC14E77-02E7-4E5D-B744-2EB1AE5198B7}", 0x25, "System", "%SystemRoot%\\system32", ""},
    {"{D65231B0-B2F1-4857-A4CE-A8E7C6EA7D27}", 0x29, "System (32-bit)", "%SystemRoot%\\SysWOW64",
     ""},
    {"{FD228CB7-AE11-4AE3-864C-16F3910AB8FE}", 0x14, "Fonts", "%SystemRoot%\\Fonts", ""},
    // Virtual folders: no file-system path.
    {"{0AC0837C-BBF8-452A-850D-79D08E667CA7}", 0x11, "Computer", "", ""},
    {"{82A74AEB-AEB4-465C-A014-D097EE346D63}", 0x03, "Control Panel", "", ""},
    {"{21EC2020-3AEA-1069-A2DD-08002B30309D}", -1, "Control Panel", "", ""},
    {"{26EE0668-A00A-44D7-9371-BEB064C98683}", -1, "Control Panel", "", ""},
    {"{B7534046-3ECB-4C18-BE4E-64CD4CB7D6AC}", 0x0A, "Recycle Bin", "", ""},
    {"{645FF040-5081-101B-9F08-00AA002F954E}", -1, "Recycle Bin", "", ""},
    {"{D20BEEC4-5CA8-4905-AE3B-BF251EA09B53}", 0x12, "Network", "", ""},
    {"{1B3EA5DC-B587-4786-B4EF-BD1DC332AEAE}", -1, "Libraries", "", ""},
    {"{031E4825-7B94-4DC3-B131-E946B44C8DD5}", -1, "Libraries", "", ""},
    {"{22877A6D-37A1-461A-91B0-DBDA5AAEBC99}", -1, "Recent Places", "", ""},
    {"{190337D1-B8CA-4121-A639-6D472D16972A}", -1, "Search Results", "", ""},
    {"{871C5380-42A0-1069-A2EA-08002B30309D}", -1, "Internet Explorer", "", ""},
    {"{2227A280-3AEA-1069-A2DE-08002B30309D}", 0x04, "Printers", "", ""},
};

} // namespace

const KnownFolder* FindKnownFolder(std::string_view id) {
    for (const KnownFolder& folder : kFolders)
        if (winpath::SameName(folder.id, id))
            return &folder;
    return nullptr;
}

const KnownFolder* FindSpecialFolder(int csidl) {
    csidl &= 0xFF; // CSIDL_FLAG_CREATE and the other flags sit above it
    for (const KnownFolder& folder : kFolders)
        if (folder.csidl == csidl)
            return &folder;
    return nullptr;
}

std::string GuidText(const unsigned char* b) {
    char text[39];
    std::snprintf(text, sizeof text,
                  "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}", b[3],
                  b[2], b[1], b[0], b[5], b[4], b[7], b[6], b[8], b[9], b[10], b[11], b[12], b[13],
                  b[14], b[15]);
    return text;
}

} // namespace lnk
