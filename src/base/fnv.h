// FNV-1a with 64 bits: a short fingerprint that tells one file's bytes from another's (not
// a guard against anyone forging them). Standard C++17 without dependencies, so the build's
// own tools, compiled for the build machine, compute the same value as the program.
#pragma once

#include <cstdint>
#include <string_view>

constexpr std::uint64_t Fnv1a64(std::string_view bytes) {
    std::uint64_t hash = 0xcbf29ce484222325u; // the offset basis
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3u; // the FNV prime
    }
    return hash;
}
