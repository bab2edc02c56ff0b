// Written by tools/make-pictures: the size and POSIX cksum of the shipped res/pictures/UI.bmp.
#pragma once

inline constexpr unsigned long kShippedBackgroundSize = 1380630ul;
inline constexpr unsigned long kShippedBackgroundCksum = 2955948525ul;
