#include "app/ui/StartScreenController.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <atomic>

#include "app/AppController.h"

namespace kl {

namespace {

std::atomic<bool> startScreenIgnoresResignKey{false};

constexpr const char* kTagProperty = "tag";

int tagOf(const QPushButton* button) { return button->property(kTagProperty).toInt(); }

}  // namespace

StartScreenController::StartScreenController(bool newUser, std::vector<std::filesystem::path> recentDocs,
                                             Commands commands, UserDefaults& defaults, QWidget* parent)
    : QWidget(parent, Qt::Window),
      recentDocs_(std::move(recentDocs)),
      commands_(std::move(commands)),
      defaults_(defaults),
      newUserType_(newUser) {
    setObjectName("StartupPanel");
    setWindowTitle(tr("Welcome to Kinlore II"));
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(tr("Kinlore II"), this);
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 2);
    big.setBold(true);
    title->setFont(big);
    layout->addWidget(title, 0, Qt::AlignCenter);
    startAppVersion_ = new QLabel(this);
    layout->addWidget(startAppVersion_, 0, Qt::AlignCenter);
    newUserText_ = new QLabel(tr("Welcome! Start with the sample database, a new database of your own, or the "
                                 "help's first steps."),
                              this);
    returningUserText_ = new QLabel(tr("Welcome back. Pick up where you left off:"), this);
    for (QLabel* greeting : {newUserText_, returningUserText_}) {
        greeting->setWordWrap(true);
        layout->addWidget(greeting);
    }

    auto* quick = new QGridLayout;
    sampleFileOne_ = new QPushButton(this);
    sampleFileTwo_ = new QPushButton(this);
    quick->addWidget(sampleFileOne_, 0, 0);
    quick->addWidget(sampleFileTwo_, 0, 1);
    recentFileMenu_ = new QComboBox(this);
    recentFileMenu_->setPlaceholderText(tr("Recent Documents"));
    quick->addWidget(new QLabel(tr("Recent documents:"), this), 1, 0, Qt::AlignRight);
    quick->addWidget(recentFileMenu_, 1, 1);
    layout->addLayout(quick);

    auto* buttons = new QHBoxLayout;
    auto* createNew = new QPushButton(tr("New Database"), this);
    openOtherButton_ = new QPushButton(tr("Open Other…"), this);
    auto* help = new QPushButton(tr("Getting Started"), this);
    buttons->addWidget(createNew);
    buttons->addWidget(openOtherButton_);
    buttons->addWidget(help);
    layout->addLayout(buttons);
    showCheckBox_ = new QCheckBox(tr("Show this window when no database is open"), this);
    layout->addWidget(showCheckBox_);

    auto later = [](const std::function<void()>& command) {
        return [command] {
            if (command) command();
        };
    };
    connect(sampleFileOne_, &QPushButton::clicked, this, [this] { openSampleFile(tagOf(sampleFileOne_)); });
    connect(sampleFileTwo_, &QPushButton::clicked, this, [this] { openSampleFile(tagOf(sampleFileTwo_)); });
    connect(recentFileMenu_, &QComboBox::activated, this,
            [this](int index) { openSampleFile(recentFileMenu_->itemData(index).toInt()); });
    connect(createNew, &QPushButton::clicked, this, later(commands_.createNewFile));
    connect(openOtherButton_, &QPushButton::clicked, this, later(commands_.openOtherFile));
    connect(help, &QPushButton::clicked, this, later(commands_.gettingStarted));
    connect(showCheckBox_, &QCheckBox::toggled, this,
            [this](bool on) { defaults_.setObject(Value(on), "Show Startup Screen"); });
    windowDidLoad();
}

void StartScreenController::setIgnoreResignKey(bool ignore) { startScreenIgnoresResignKey = ignore; }

void StartScreenController::setQuickButton(QPushButton* button, int tag, const QString& title, const QString& tip) {
    button->setProperty(kTagProperty, tag);
    button->setText(title);
    button->setToolTip(tip);
}

void StartScreenController::windowDidLoad() {
    startAppVersion_->setText(QString::fromStdString(AppController::versionLine(false)));
    (newUserType_ ? returningUserText_ : newUserText_)->hide();
    const QString sampleTitle = tr("Open: Sample File (Radavizu)");
    setQuickButton(sampleFileOne_, sampleFileTag, sampleTitle, tr("Open a sample Kinlore document"));
    setQuickButton(sampleFileTwo_, noFileTag, tr("(no recent file)"), QString());
    for (std::size_t n = 0; n < recentDocs_.size(); ++n) {
        const QString name = QString::fromStdString(recentDocs_[n].filename().string());
        recentFileMenu_->addItem(name, int(n));
        if (recentDocs_[n].extension() != ".gedpkg" || tagOf(sampleFileTwo_) >= 0) continue;
        if (tagOf(sampleFileOne_) < 0)
            setQuickButton(sampleFileOne_, int(n), tr("Open: %1").arg(name),
                           tr("Open your most recently opened Kinlore II document"));
        else
            setQuickButton(sampleFileTwo_, int(n), tr("Open: %1").arg(name),
                           tr("Open your second most recently opened Kinlore II document"));
    }
    if (recentDocs_.empty()) {
        recentFileMenu_->setEnabled(false);
    } else {
        recentFileMenu_->addItem(tr("Sample File (Radavizu)"), sampleFileTag);
    }
    // One recent package: the sample moves to the second button.
    if (tagOf(sampleFileOne_) >= 0 && tagOf(sampleFileTwo_) < 0)
        setQuickButton(sampleFileTwo_, sampleFileTag, sampleTitle, tr("Open a sample Kinlore document"));
    showCheckBox_->setChecked(defaults_.boolForKey("Show Startup Screen"));
}

void StartScreenController::handleRecentFiles(int tag) {
    if (tag < 0 || std::size_t(tag) >= recentDocs_.size() || !commands_.openRecent) return;
    commands_.openRecent(recentDocs_[std::size_t(tag)]);
}

void StartScreenController::openSampleFile(int tag) {
    if (tag == noFileTag) return;
    if (tag == sampleFileTag) {
        if (commands_.openSample) commands_.openSample();
        return;
    }
    handleRecentFiles(tag);
}

void StartScreenController::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // Another window of the program taking the focus (a document opening)
    // ends the screen; an alert shown above it does not.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && isVisible() && !startScreenIgnoresResignKey &&
        QApplication::activeWindow() != nullptr && commands_.close)
        commands_.close();
}

void StartScreenController::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (commands_.close) commands_.close();
}

}  // namespace kl
