// The window's pictures from the executable's resources. Windows build only; the header
// needs no <windows.h>.
//
//   HBITMAP scan = ProgramPicture(ScaledPictureId(IDB_SCANSHORTCUTS_NORMAL, 200)); // not owned
//
// A picture resource is a bitmap (BITMAP: the 100% rendering, and the row masks of every
// rendering) or a PNG file (RCDATA: the 125, 150 and 200% renderings, a small part of the
// size of their bitmaps). A PNG file is decoded by the Windows Imaging Component into what
// the bitmap would have been: a DIB section of 24 bits, or of 32 bits when the file has an
// alpha channel, whose colour the file holds already multiplied by alpha as AlphaBlend and
// the image lists want it (tools/make-pictures writes them so); the colour values are taken
// as they are, never converted. When an id has both, the PNG file is the picture.
#pragma once

#include "base/handles.h"

// The picture `resourceId` of the executable, read when first asked for and kept to the end
// of the program: each picture is decoded once, however often and by however many windows
// it is asked for. The first PNG picture asked for of a rendering brings the others of that
// rendering with it, decoded in one go (but the background, decoded when asked for). Owned
// by the store; nullptr when the executable has no such picture. Throws EOSError when a PNG
// file cannot be decoded.
HBITMAP ProgramPicture(int resourceId);

// The picture `resourceId` of `module` read afresh: a DIB section the caller owns, or
// nullptr when the module has no such picture (the last error says why). Throws EOSError
// when a PNG file cannot be decoded.
HBITMAP LoadPictureResource(HMODULE module, int resourceId);
