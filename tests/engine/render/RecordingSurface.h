#pragma once
// A DiagramSurface that records every call, with fixed text metrics: each character is
// kCharWidth wide and a line is kLineHeight high.

#include <string>
#include <vector>

#include "engine/render/DiagramSurface.h"

namespace quorvex::test {

class RecordingSurface final : public DiagramSurface {
  public:
    static constexpr int kCharWidth = 10;
    static constexpr int kLineHeight = 16;

    struct Call {
        enum Kind { kSelectFont, kFill, kRectangle, kPolyline, kDrawText, kViewport } kind;
        PixelRect rect{};
        Colour colour = 0;  // fill, brush or text-less pen colour
        Colour pen = 0;
        int width = 0;
        std::vector<DiagramPoint> points;
        std::string text;
        FontRequest font;
    };

    int DotsPerInchY() const override { return 96; }
    FontRequest SelectFont(const FontRequest& font) override {
        calls.push_back({Call::kSelectFont, {}, 0, 0, 0, {}, {}, font});
        FontRequest previous = current;
        current = font;
        return previous;
    }
    void Fill(const PixelRect& rect, Colour colour) override {
        calls.push_back({Call::kFill, rect, colour, 0, 0, {}, {}, {}});
    }
    void Rectangle(const PixelRect& rect, Colour pen, int penWidth, Colour brush) override {
        calls.push_back({Call::kRectangle, rect, brush, pen, penWidth, {}, {}, {}});
    }
    void Polyline(std::span<const DiagramPoint> points, Colour pen, int width) override {
        calls.push_back(
            {Call::kPolyline, {}, 0, pen, width, {points.begin(), points.end()}, {}, {}});
    }
    TextSize MeasureText(std::string_view text) override {
        int characters = 0;
        for (unsigned char c : text) characters += (c & 0xC0) != 0x80;
        return {characters * kCharWidth, kLineHeight};
    }
    void DrawText(std::string_view text, const PixelRect& rect) override {
        calls.push_back({Call::kDrawText, rect, 0, 0, 0, {}, std::string(text), {}});
    }
    // Recorded as given; a reset records the empty rectangle with width -1.
    void SetViewport(const PixelRect& viewport) override {
        calls.push_back({Call::kViewport, viewport, 0, 0, 0, {}, {}, {}});
    }
    void ResetViewport() override { calls.push_back({Call::kViewport, {}, 0, 0, -1, {}, {}, {}}); }

    std::vector<Call> Of(Call::Kind kind) const {
        std::vector<Call> out;
        for (const Call& c : calls) {
            if (c.kind == kind) out.push_back(c);
        }
        return out;
    }

    FontRequest current{"system", 0, 400};
    std::vector<Call> calls;
};

}  // namespace quorvex::test
