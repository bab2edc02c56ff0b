#include "winkit/display_scale.h"

#include "base/fnv.h"
#include "pictures/pictures.h"
#include "pictures/shipped_background.h" // written by the build (pictures/build.cmake)

int Scale(int value, int dpi) {
    const long long product = static_cast<long long>(value) * dpi;
    const long long half = kDesignDpi / 2;
    return static_cast<int>(product >= 0 ? (product + half) / kDesignDpi
                                         : -((-product + half) / kDesignDpi));
}

TBounds Scale(const TBounds& b, int dpi) {
    return {Scale(b.left, dpi), Scale(b.top, dpi), Scale(b.width, dpi), Scale(b.height, dpi)};
}

TSize Scale(TSize size, int dpi) { return {Scale(size.width, dpi), Scale(size.height, dpi)}; }

int PictureScale(int dpi) {
    for (int percent : kPictureScales)
        if (percent * kDesignDpi >= dpi * 100)
            return percent;
    return kPictureScales.back();
}

int ScaledPictureId(int id, int percent) {
    switch (percent) {
    case 125:
        return id + IDB_AT_125;
    case 150:
        return id + IDB_AT_150;
    case 200:
        return id + IDB_AT_200;
    default:
        return id;
    }
}

bool IsShippedBackground(const std::string& fileBytes) {
    return fileBytes.size() == kShippedBackgroundSize &&
           Fnv1a64(fileBytes) == kShippedBackgroundFnv1a;
}
