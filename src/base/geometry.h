// Places and sizes in pixels, shared by the layout tables, the painted layer and the windows.
#pragma once

// A place in client pixels.
struct TBounds {
    int left = 0, top = 0, width = 0, height = 0;
    bool Contains(int x, int y) const {
        return x >= left && x < left + width && y >= top && y < top + height;
    }
    friend bool operator==(const TBounds&, const TBounds&) = default;
};

struct TSize {
    int width = 0, height = 0;
};
