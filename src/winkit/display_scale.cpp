#include "winkit/display_scale.h"

#include "pictures/pictures.h"
#include "pictures/shipped_background.h"

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

unsigned long PosixCksum(const std::string& bytes) {
    // CRC-32 with the polynomial 0x04C11DB7, most significant bit first, no reflection.
    static const auto table = [] {
        std::array<unsigned long, 256> t{};
        for (unsigned long i = 0; i < 256; ++i) {
            unsigned long crc = i << 24;
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc & 0x80000000ul) ? (crc << 1) ^ 0x04C11DB7ul : crc << 1;
            t[i] = crc & 0xFFFFFFFFul;
        }
        return t;
    }();
    unsigned long crc = 0;
    const auto add = [&](unsigned char byte) {
        crc = ((crc << 8) ^ table[((crc >> 24) ^ byte) & 0xFF]) & 0xFFFFFFFFul;
    };
    for (char c : bytes)
        add(static_cast<unsigned char>(c));
    // Then the length, least significant byte first, without its leading zero bytes.
    for (auto length = static_cast<unsigned long long>(bytes.size()); length != 0; length >>= 8)
        add(static_cast<unsigned char>(length & 0xFF));
    return ~crc & 0xFFFFFFFFul;
}

bool IsShippedBackground(const std::string& fileBytes) {
    return fileBytes.size() == kShippedBackgroundSize &&
           PosixCksum(fileBytes) == kShippedBackgroundCksum;
}
