#pragma once
// Hand-made JPEG byte streams: only the markers the frame search looks at are real, the
// rest is filler. Enough for the PDF writer, which never decodes the image.

#include <cstdint>
#include <initializer_list>
#include <string>

namespace quorvex::test {

inline void PutMarker(std::string& s, int marker) {
    s.push_back(static_cast<char>(0xFF));
    s.push_back(static_cast<char>(marker & 0xFF));
}

inline void Put16(std::string& s, int v) {
    s.push_back(static_cast<char>((v >> 8) & 0xFF));
    s.push_back(static_cast<char>(v & 0xFF));
}

// A segment with its length field (payload + 2) and payload bytes.
inline void PutSegment(std::string& s, int marker, const std::string& payload) {
    PutMarker(s, marker);
    Put16(s, static_cast<int>(payload.size()) + 2);
    s += payload;
}

// Frame header: precision 8, height, width, components, three bytes per component.
inline void PutFrame(std::string& s, int marker, int width, int height, int components) {
    PutMarker(s, marker);
    Put16(s, 8 + 3 * components);
    s.push_back(8);
    Put16(s, height);
    Put16(s, width);
    s.push_back(static_cast<char>(components));
    for (int c = 0; c < components; ++c) s += std::string{static_cast<char>(c + 1), 0x11, 0};
}

// A complete stream of exactly `size` bytes: SOI, JFIF, frame, filler, EOI.
inline std::string SyntheticJpeg(std::size_t size, int width, int height, int components,
                                 int frameMarker = 0xC0) {
    std::string s;
    PutMarker(s, 0xD8);
    PutSegment(s, 0xE0, std::string("JFIF\0\1\1\0\0\1\0\1\0\0", 14));
    PutFrame(s, frameMarker, width, height, components);
    std::uint32_t x = 12345;
    while (s.size() + 2 < size) {
        x = x * 1103515245u + 12345u;
        s.push_back(static_cast<char>((x >> 16) & 0x7F));  // never FF, never a marker
    }
    PutMarker(s, 0xD9);
    return s;
}

}  // namespace quorvex::test
