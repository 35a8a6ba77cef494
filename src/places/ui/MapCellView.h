#pragma once
// MapCellView: the web pane of a map cell. A page is written into a file of
// the working folder and loaded from there (so that a bundled script
// library beside it can load too); a message is shown as plain text
// instead. Once the pane that holds the cell has been laid out (the next
// turn of the event loop after the view was made), it tells the cell to
// build its page.
//
// Ownership: owned by its cell; the widget belongs to the pane it is put
// in, or to this view until then. Thread: main thread.
#include <QPointer>
#include <QTemporaryFile>

#include <memory>
#include <string>

#include "cells/ui/WidgetCellView.h"

class QLabel;
class QStackedWidget;
class QWebEngineView;

namespace kl {

class Map_BOXCell;

class MapCellView : public WidgetCellView {
public:
    explicit MapCellView(Map_BOXCell& cell);
    ~MapCellView() override;

    // Map cells get this view in every record window (once; later calls do
    // nothing).
    static void install();

    QWidget* widget() const override;
    void setFrame(const CellRect& frame) override;
    void refresh(const CustomCell& cell) override;
    double textWidth(const std::string& text) const override;
    double textHeight() const override;
    std::string text() const override { return shown_; }

    QWebEngineView* webView() const { return web_; }
    QLabel* messageLabel() const { return message_; }
    // The file the page was last written to; empty while a message shows.
    std::string pagePath() const;

private:
    QPointer<QStackedWidget> stack_;
    QLabel* message_ = nullptr;
    QWebEngineView* web_ = nullptr;
    std::unique_ptr<QTemporaryFile> page_;
    std::string shown_;
    // Context of the queued layout call: it must not outlive this view.
    std::unique_ptr<QObject> guard_;
};

}  // namespace kl
