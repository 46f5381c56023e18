#pragma once

// The help viewer: our own HTML pages in a text browser. The contents page opens in a help
// window with Back, Forward and Contents buttons; the page of a cell's topic opens in a
// small window near the pointer, which later topics reuse. Links move within each window.

#include <QPointer>
#include <QWidget>

#include <string>

class QTextBrowser;
class cmcGTex;

class cuiHtmlHelp {
  public:
    cuiHtmlHelp(cmcGTex& text, QWidget* owner);
    ~cuiHtmlHelp();
    cuiHtmlHelp(const cuiHtmlHelp&) = delete;
    cuiHtmlHelp& operator=(const cuiHtmlHelp&) = delete;

    // The answers of cuiMainWindow's help requests (HelpShown, HelpFileMissing, HelpNoTopic).
    int ShowContents(const std::string& path);
    int ShowTopic(const std::string& path, int context);

    // The windows, once opened (for the tests).
    QWidget* ContentsWindow() const { return contents_; }
    QWidget* TopicWindow() const { return topic_; }
    QTextBrowser* ContentsBrowser() const;
    QTextBrowser* TopicBrowser() const;

  private:
    QWidget* MakeContentsWindow();
    QWidget* MakeTopicWindow();

    cmcGTex& text_;
    QPointer<QWidget> owner_;
    QPointer<QWidget> contents_;
    QPointer<QWidget> topic_;
};
