#pragma once

// A main window that records what the document controller does to it, and a running
// program on the fake platform.

#include "app/cuiMainWindow.h"
#include "app/indMain.h"
#include "app/indProcess.h"
#include "platform/fake/cmcFakePlatform.h"
#include "support/TestEnvironment.h"

#include <memory>
#include <string>
#include <vector>

class FakeMainWindow : public cuiMainWindow {
  public:
    void SetCaption(const std::string& text) override { caption = text; }
    bool IsWindowVisible() const override { return visible; }
    bool IsWindowEnabled() const override { return enabled; }
    void EnableWindow(bool on) override { enabled = on; }
    void ShowWindow() override {
        visible = true;
        enabled = true;
        ++activations;
    }
    cmcRect Placement() const override { return placement; }
    int SplitterPosition() const override { return splitter; }
    void CloseWindow() override { ++closeRequests; }
    void ShowDifferences(const std::string& path,
                         const std::vector<clsImageDifference>& shown) override {
        compared.push_back(path);
        differences = shown;
    }
    int ShowHelpContents(const std::string& path) override { return Help(path, -1); }
    int ShowHelpTopic(const std::string& path, int context) override { return Help(path, context); }
    int Help(const std::string& path, int context) {
        helpPath = path;
        helpContext = context;
        return helpAnswer;
    }

    std::string caption;
    bool visible = false;
    bool enabled = true;
    int activations = 0;
    int closeRequests = 0;
    std::vector<std::string> compared; // the files of the compare window, in order
    std::vector<clsImageDifference> differences;
    cmcRect placement{100, 50, 640, 480};
    int splitter = 240;
    std::string helpPath;          // the last help request: its contents page ...
    int helpContext = -2;          // ... and its context id (-1 the contents)
    int helpAnswer = HelpNoViewer; // what the viewer answers
};

// The program as started on the fake platform with its main window shown.
struct RunningProgram {
    explicit RunningProgram(cmcFakePlatform& platform, const testenv::TempFolder& folder) {
        platform.folders.documents_ = folder.path().string();
        process = std::make_unique<indProcess>();
        main().CreateUi(window);
        window.ShowWindow();
    }
    ~RunningProgram() {
        if (process && main().MainWindow()) main().WindowClosed();
    }
    indMain& main() { return process->Main(); }
    indEnviron& environ() { return process->Environ(); }

    std::unique_ptr<indProcess> process;
    FakeMainWindow window;
};
