#pragma once
// LineFinder: the Go to Line panel of Kinlore Editor. The user types a line
// number; the text view that has the focus in the main window selects that
// line and scrolls to it. One finder serves every text view of the
// program, and the panel shows the last number asked for again.
//
// Ownership: the one finder belongs to the application object and owns its
// panel, which is made on first use and then kept. Main thread only.
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace kl {

class LineFinder : public QObject {
    Q_OBJECT
public:
    static LineFinder& sharedInstance();

    QWidget* linePanel();
    void orderFrontLinePanel();
    void findLine();
    // The focused text view of the main window (a plain or rich text
    // edit); nullptr when the focus is elsewhere.
    QWidget* textObjectToSearchIn() const;
    bool validateMenuItem() const { return textObjectToSearchIn() != nullptr; }

    const QString& lineString() const { return lineString_; }
    void setLineString(const QString& line) { lineString_ = line; }

    // The Edit menu item "Go to Line..." (Ctrl+L) of a window.
    QAction* addMenuItem(QWidget& menu);

    QLineEdit* findLineField() const { return findLineField_; }
    QLabel* statusField() const { return statusField_; }
    QPushButton* findLineButton() const { return findLineButton_; }

    // Tests hear the beep.
    void setBeep(std::function<void()> beep) { beep_ = std::move(beep); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    LineFinder();
    void loadUI();
    void panelDidActivate();
    void beep() const;

    QString lineString_ = QStringLiteral("1");
    QPointer<QWidget> panel_;
    QLineEdit* findLineField_ = nullptr;
    QLabel* statusField_ = nullptr;
    QPushButton* findLineButton_ = nullptr;
    // The last window other than the panel that held the focus.
    QPointer<QWidget> mainWindow_;
    std::function<void()> beep_;
};

}  // namespace kl
