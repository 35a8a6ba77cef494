#pragma once
// TPController: Tempolin's one window, five registers a to e with their
// calendar and day labels over the std-only TPModel, and the buttons that
// compute with them: difference, sum, sign, calendars, span styles, Enter,
// roll, swap, clear, date words and memories. After every action the
// window shows what the model holds. It follows the preferences through
// the "PrefsJustChanged" and "FormatJustChanged" notifications. Closing
// it ends the application.
//
// Thread: main thread. Owns its model; widgets belong to the window.
#include <QMainWindow>

#include <array>
#include <string>

#include "calculator/TPModel.h"
#include "foundation/NotificationCenter.h"

class QAbstractButton;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QToolButton;

namespace kl {

class DataEntryField;

class TPController : public QMainWindow {
    Q_OBJECT
public:
    // The two web pages of the buttons below the registers.
    static constexpr const char* kKinloreSite = "https://kinlore.example.org/";
    static constexpr const char* kTempolinPage = "https://kinlore.example.org/tempolin/";

    explicit TPController(QWidget* parent = nullptr);
    ~TPController() override;

    TPModel& model() { return model_; }
    DataEntryField* regA() const { return regA_; }
    QLineEdit* reg(int index) const { return regs_[index]; }
    QLabel* calField(int index) const { return calFields_[index]; }
    QLabel* dowField(int index) const { return dowFields_[index]; }
    QButtonGroup* convertBtns() const { return convertBtns_; }
    QButtonGroup* convertTime() const { return convertTime_; }
    QButtonGroup* gedcomWords() const { return gedcomWords_; }
    QButtonGroup* monthWords() const { return monthWords_; }
    QPushButton* addAandB() const { return addAandB_; }
    QPushButton* diffAandB() const { return diffAandB_; }
    QPushButton* changeSign() const { return changeSign_; }
    QPushButton* enterButton() const { return enter_; }
    QPushButton* rollButton() const { return roll_; }
    QPushButton* swapButton() const { return swap_; }
    QPushButton* clearButton() const { return clear_; }
    QMenu* storeMenu() const { return storeMenu_; }
    QMenu* recallMenu() const { return recallMenu_; }
    QPushButton* visitKinlore() const { return visitKinlore_; }

    // Actions of the window and of scripts.
    void EnterDateTime();
    void RegistersDown();
    void SwapRegisters();
    void ClearRegA();
    void EnterRegA(const QString& text);
    void DiffDateTime();
    void SumDateTime();
    void ChangeTimeSign();
    void selectCalendar(int calendar);
    void ConvertTime(int style);
    void SetGEDCOMWord(const QString& word);
    void SetMonth(const QString& word);
    void StoreMemory(int slot);
    void RecallMemory(int slot);
    void visitKinlorePage();
    void visitTempolinPage();

    // From register a.
    void textEdited(const QString& text);
    void readGregorianDate();
    void beep();

    // The settings the preferences keep, read anew.
    void prefsChanged();
    void formatChanged();

signals:
    // The window is closing, and with it the application.
    void closing();
    void beeped();
    void alerted(const QString& message, const QString& information);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWindow();
    QWidget* buildRegisters();
    QWidget* buildButtons();
    QWidget* buildWords();
    void refresh();
    void afterAction();

    TPModel model_;
    DataEntryField* regA_ = nullptr;
    std::array<QLineEdit*, TPModel::kRegisterCount> regs_{};
    std::array<QLabel*, TPModel::kRegisterCount> calFields_{};
    std::array<QLabel*, TPModel::kRegisterCount> dowFields_{};
    QButtonGroup* convertBtns_ = nullptr;
    QButtonGroup* convertTime_ = nullptr;
    QButtonGroup* gedcomWords_ = nullptr;
    QButtonGroup* monthWords_ = nullptr;
    QPushButton* addAandB_ = nullptr;
    QPushButton* diffAandB_ = nullptr;
    QPushButton* changeSign_ = nullptr;
    QPushButton* enter_ = nullptr;
    QPushButton* roll_ = nullptr;
    QPushButton* swap_ = nullptr;
    QPushButton* clear_ = nullptr;
    QMenu* storeMenu_ = nullptr;
    QMenu* recallMenu_ = nullptr;
    QPushButton* visitKinlore_ = nullptr;
    QPushButton* visitTempolin_ = nullptr;
    Observation prefsObservation_;
    Observation formatObservation_;
};

}  // namespace kl
