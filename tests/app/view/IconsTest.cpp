#include "ViewTestSupport.h"
#include "app/view/cuiIcons.h"

#include <QApplication>
#include <QImage>

#include <gtest/gtest.h>

namespace {

class IconsTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { EnsureTestApplication(); }

    static QImage Render(const QIcon& icon, int size) {
        return icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
    }

    // True when the icon drew something: a pixmap of the size asked with a visible pixel.
    static bool Drawn(const QIcon& icon, int size) {
        const QImage image = Render(icon, size);
        if (image.isNull() || image.width() < size || image.height() < size) return false;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qAlpha(image.pixel(x, y)) > 0) return true;
        return false;
    }

    static QImage Quarter(const QImage& image, bool bottomRight) {
        const int w = image.width() / 2, h = image.height() / 2;
        return image.copy(bottomRight ? w : 0, bottomRight ? h : 0, w, h);
    }
};

TEST_F(IconsTest, EveryIconOfBothListsAndTheApplicationIconDraws) {
    for (int size : {16, 32}) {
        for (int i = 0; i < cuiTreeIconCount; ++i)
            EXPECT_TRUE(Drawn(cuiTreeIcon(i), size)) << "tree " << i << " at " << size;
        for (int i = 0; i < cuiToolBarIconCount; ++i)
            EXPECT_TRUE(Drawn(cuiToolBarIcon(i), size)) << "toolbar " << i << " at " << size;
        EXPECT_TRUE(Drawn(cuiApplicationIcon(), size)) << "application at " << size;
    }
}

TEST_F(IconsTest, TheListsHoldDifferentPictures) {
    // A slip in the index table would give two indexes the same file.
    std::vector<QImage> seen;
    for (int i = 0; i < cuiTreeIconCount; ++i)
        seen.push_back(Render(cuiTreeIcon(i), 32));
    for (int i = 0; i < cuiToolBarIconCount; ++i)
        seen.push_back(Render(cuiToolBarIcon(i), 32));
    for (size_t a = 0; a < seen.size(); ++a)
        for (size_t b = a + 1; b < seen.size(); ++b)
            EXPECT_NE(seen[a], seen[b]) << "images " << a << " and " << b;
}

TEST_F(IconsTest, AnIndexOutsideAListGivesANullIcon) {
    for (int index : {-1, cuiTreeIconCount, 1000})
        EXPECT_TRUE(cuiTreeIcon(index).isNull()) << index;
    for (int index : {-1, cuiToolBarIconCount, 1000})
        EXPECT_TRUE(cuiToolBarIcon(index).isNull()) << index;
}

TEST_F(IconsTest, TheMarksOverlayOnlyTheBottomRightOfTheBase) {
    const QIcon base = cuiTreeIcon(2);
    for (int mark : {cuiTreeIconWarning, cuiTreeIconError}) {
        const QIcon marked = cuiWithOverlay(base, cuiTreeIcon(mark));
        ASSERT_FALSE(marked.isNull());
        for (int size : {16, 32}) {
            const QImage plain = Render(base, size);
            const QImage over = Render(marked, size);
            ASSERT_EQ(over.size(), plain.size()) << mark << " at " << size;
            EXPECT_EQ(Quarter(over, false), Quarter(plain, false)) << mark << " at " << size;
            EXPECT_NE(Quarter(over, true), Quarter(plain, true)) << mark << " at " << size;
        }
    }
}

} // namespace
