#include "engine/render/SharedFontData.h"

#include <fontconfig/fontconfig.h>

#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QString>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>

#include "engine/render/PainterSurface.h"

namespace quorvex {
namespace {

struct FontFile {
    std::filesystem::path path;
    int index = 0;
    bool operator==(const FontFile&) const = default;
};

// The one file (and face index in it) that holds every face of `family`; nothing when
// there are none or several: then which file the font engine picks for which style is its
// own choice, and a copy of one of them might draw differently.
std::optional<FontFile> OnlyFileOf(const QString& family) {
    const QByteArray name = family.toUtf8();
    const std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)> pattern(
        FcPatternBuild(nullptr, FC_FAMILY, FcTypeString, name.constData(), nullptr),
        FcPatternDestroy);
    const std::unique_ptr<FcObjectSet, decltype(&FcObjectSetDestroy)> objects(
        FcObjectSetBuild(FC_FILE, FC_INDEX, nullptr), FcObjectSetDestroy);
    if (!pattern || !objects) return std::nullopt;
    const std::unique_ptr<FcFontSet, decltype(&FcFontSetDestroy)> fonts(
        FcFontList(nullptr, pattern.get(), objects.get()), FcFontSetDestroy);
    if (!fonts || fonts->nfont < 1) return std::nullopt;
    std::optional<FontFile> only;
    for (int i = 0; i < fonts->nfont; ++i) {
        FcChar8* file = nullptr;
        int index = 0;
        if (FcPatternGetString(fonts->fonts[i], FC_FILE, 0, &file) != FcResultMatch) {
            return std::nullopt;
        }
        FcPatternGetInteger(fonts->fonts[i], FC_INDEX, 0, &index);
        std::error_code error;
        // The same file under another name (a link) is the same face.
        const FontFile found{std::filesystem::canonical(reinterpret_cast<const char*>(file), error),
                             index};
        if (error || (only && !(*only == found))) return std::nullopt;
        only = found;
    }
    return only;
}

bool Share(int threads) {
    const QString family = ResolveFontFamily({});
    const std::optional<FontFile> file = OnlyFileOf(family);
    if (!file) return false;
    const long long size = QFileInfo(QString::fromStdString(file->path.string())).size();
    if (size <= 0 || size > kMaxSharedFontBytes ||
        static_cast<long long>(threads) * kMappedFontBytesPerThread <= size) {
        return false;
    }
    QFile in(QString::fromStdString(file->path.string()));
    if (!in.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = in.read(kMaxSharedFontBytes);
    const int id = QFontDatabase::addApplicationFontFromData(bytes);
    if (id < 0) return false;
    // The copy stands in for the file only when it names the same family.
    if (!QFontDatabase::applicationFontFamilies(id).contains(family, Qt::CaseInsensitive)) {
        QFontDatabase::removeApplicationFont(id);
        return false;
    }
    return true;
}

}  // namespace

bool ShareDiagramFontData(int threads) {
    static std::mutex mutex;
    static bool shared = false;
    const std::lock_guard lock(mutex);
    if (!shared && threads > 1) shared = Share(threads);
    return shared;
}

}  // namespace quorvex
