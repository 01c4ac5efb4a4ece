// tallywick-compose: draws the screen a scene description asks for and writes it as BMP or PNG.
// Usage: tallywick-compose [--pack FOLDER] DESCRIPTION.txt OUT.bmp|OUT.png
// With --pack the tooltip is drawn with the glyph pack in FOLDER and, when the folder has one, the
// placement in its placement.txt (e.g. tests/data/second_screen).
#include <cstdio>
#include <string>
#include <vector>

#include "base/bmp.h"
#include "base/files.h"
#include "reader/glyph_pack.h"
#include "reader/glyphs.h"
#include "tools/compose/compose.h"
#include "tools/compose/second_screen.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#include "stb_image_write.h"
#pragma GCC diagnostic pop

namespace {

int Fail(const std::string& what, const std::string& why) {
    std::fprintf(stderr, "tallywick-compose: %s: %s\n", what.c_str(), why.c_str());
    return 1;
}

bool EndsWith(const std::string& s, const char* tail) {
    std::string t(tail);
    return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

void AppendPng(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    out->insert(out->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
}

}  // namespace

int main(int argc, char** argv) {
    std::string packFolder;
    if (argc == 5 && std::string(argv[1]) == "--pack") {
        packFolder = argv[2];
        argv += 2, argc -= 2;
    }
    if (argc != 3) {
        std::fprintf(stderr, "usage: tallywick-compose [--pack FOLDER] DESCRIPTION.txt OUT.bmp|OUT.png\n");
        return 2;
    }
    const std::string input = argv[1], output = argv[2];
    std::string error;
    if (!LoadGlyphTemplates(error)) return Fail("glyph set", error);
    GlyphPack pack;
    ComposePlacement placement;
    if (!packFolder.empty() &&
        (!LoadGlyphPack(packFolder, pack, error) || !LoadComposePlacement(packFolder, placement, error)))
        return Fail(packFolder, error);
    std::vector<uint8_t> text;
    if (!ReadFileBytes(input, text, error)) return Fail(input, error);
    TooltipScene scene;
    if (!ParseScene(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()), scene, error))
        return Fail(input, error);
    if (!packFolder.empty()) scene.pack = &pack, scene.placement = placement;
    PixelBuffer screen;
    if (!ComposeScreen(scene, screen, error)) return Fail(input, error);

    std::vector<uint8_t> file;
    if (EndsWith(output, ".png")) {
        std::vector<uint8_t> rgb(size_t(screen.count) * 3);
        for (size_t i = 0; i < size_t(screen.count); ++i) {
            uint32_t p = screen.pixels[i];
            rgb[i * 3] = uint8_t(p), rgb[i * 3 + 1] = uint8_t(p >> 8), rgb[i * 3 + 2] = uint8_t(p >> 16);
        }
        stbi_write_png_compression_level = 9;
        if (!stbi_write_png_to_func(AppendPng, &file, screen.width, screen.height, 3, rgb.data(),
                                    screen.width * 3))
            return Fail(output, "cannot encode PNG");
    } else {
        file = EncodeBmp24(screen);
    }
    if (!WriteFileBytes(output, file, error)) return Fail(output, error);
    return 0;
}
