#include "app/view/cuiIcons.h"

#include <QIconEngine>
#include <QPainter>

#include <array>
#include <span>

// The generated resource lives in the static view library; nothing else refers to it, so
// the linker would drop it unless it is registered by name.
static void InitIconResource() {
    static const bool done = [] {
        Q_INIT_RESOURCE(icons);
        return true;
    }();
    (void)done;
}

namespace {

constexpr std::array<const char*, cuiTreeIconCount> treeFiles = {
    "tree-rig", "tree-folder01", "tree-note01", "tree-note02", "tree-warn-w-rb", "tree-warn-e-rb",
};

constexpr std::array<const char*, cuiToolBarIconCount> toolBarFiles = {
    "bar-file-new",  "bar-file-open", "bar-file-save",  "bar-com1",        "bar-com2",
    "bar-com3",      "bar-com4",      "bar-clone-read", "bar-clone-write", "bar-clone-info",
    "bar-pcg-pen",   "bar-pcg-fill",  "bar-pcg-slider", "bar-page-top",    "bar-page-previous",
    "bar-page-next", "bar-page-last", "bar-page-zoom",
};

QIcon Load(const char* name) {
    InitIconResource();
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name)));
}

QIcon FromList(std::span<const char* const> files, int index) {
    if (index < 0 || index >= static_cast<int>(files.size())) return QIcon();
    return Load(files[index]);
}

// Paints the base and then the overlay into the same rectangle, so the pair scales like
// the base does.
class OverlayEngine : public QIconEngine {
  public:
    OverlayEngine(QIcon base, QIcon overlay)
        : base_(std::move(base)), overlay_(std::move(overlay)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        base_.paint(painter, rect, Qt::AlignCenter, mode, state);
        overlay_.paint(painter, rect, Qt::AlignCenter, mode, state);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap result(size);
        result.fill(Qt::transparent);
        QPainter painter(&result);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return result;
    }

    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return base_.actualSize(size, mode, state);
    }

    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return base_.availableSizes(mode, state);
    }

    bool isNull() override { return base_.isNull(); }
    QString key() const override { return QStringLiteral("pelham-overlay"); }
    QIconEngine* clone() const override { return new OverlayEngine(base_, overlay_); }

  private:
    QIcon base_;
    QIcon overlay_;
};

} // namespace

QIcon cuiTreeIcon(int index) {
    return FromList(treeFiles, index);
}

QIcon cuiToolBarIcon(int index) {
    return FromList(toolBarFiles, index);
}

QIcon cuiApplicationIcon() {
    return Load("pelham");
}

QIcon cuiWithOverlay(const QIcon& base, const QIcon& overlay) {
    if (base.isNull() || overlay.isNull()) return base;
    return QIcon(new OverlayEngine(base, overlay));
}
