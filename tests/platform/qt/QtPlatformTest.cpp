#include "platform/qt/gui/cmcQtPlatform.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSettings>
#include <QStandardPaths>

#include <cstdlib>

namespace {

TEST(QtDialogFilterTest, CatalogueFiltersBecomeQtFilters) {
    struct Case {
        const char* catalogue;
        const char* qt;
    };
    for (const Case& c : {
             Case{"Data files (*.tcf)|*.tcf|All files (*.*)|*.*",
                  "Data files (*.tcf);;All files (*)"},
             Case{"CSV files (*.csv)|*.csv", "CSV files (*.csv)"},
             Case{"Text|*.txt;*.log", "Text (*.txt *.log)"},
         })
        EXPECT_EQ(cmcQtDialogFilter(c.catalogue), c.qt) << c.catalogue;
}

// The settings file lives under the user's configuration folder; a value that does not
// read as a number fails as a missing one does.
TEST(QtSettingsTest, ValuesRoundTripAndWrongTypesReadAsMissing) {
    testenv::TempFolder home;
    setenv("XDG_CONFIG_HOME", home.path().c_str(), 1);
    QStandardPaths::setTestModeEnabled(false);
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    {
        cmcQtSettings settings;
        settings.writeInt(SettingsScope::User, "Global", "BBT", 753951);
        settings.writeString(SettingsScope::User, "Global", "ComPort", "/dev/ttyUSB1");
        settings.writeString(SettingsScope::User, "Window Position", "Left", "wide");
        settings.writeInt(SettingsScope::User, "Display/memory/colwidth", "3", 64);
        settings.flush();
    }
    EXPECT_NE(testenv::readFile(home.file("Tarn/Pelham.conf")).find("753951"), std::string::npos);
    cmcQtSettings settings;
    EXPECT_EQ(settings.readInt(SettingsScope::User, "Global", "BBT"), 753951);
    EXPECT_EQ(settings.readString(SettingsScope::User, "Global", "ComPort"), "/dev/ttyUSB1");
    EXPECT_EQ(settings.readInt(SettingsScope::User, "Window Position", "Left"), std::nullopt);
    EXPECT_EQ(settings.readInt(SettingsScope::User, "Global", "Missing"), std::nullopt);
    settings.removeKey(SettingsScope::User, "Display", "memory");
    EXPECT_EQ(settings.readInt(SettingsScope::User, "Display/memory/colwidth", "3"), std::nullopt);
    EXPECT_EQ(settings.readInt(SettingsScope::User, "Global", "BBT"), 753951);
}

} // namespace
