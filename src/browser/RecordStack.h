#pragma once
// RecordStack: the back and forward history of one record browser. Entries
// name records by ID (with the pane they were shown in, when not the
// default), so a record deleted after it was visited is skipped rather than
// kept alive. Moving back or forward shows the record through the browser,
// whose own push of it is suppressed once; visiting a record any other way
// drops the forward entries and appends it.
//
// Ownership: owned by its browser, which it borrows. Thread: main thread.
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kl {

class GEDCOMRecord;

class RecordStack {
public:
    using RecordPtr = std::shared_ptr<GEDCOMRecord>;

    // What the history asks of the browser it belongs to.
    class Browser {
    public:
        virtual ~Browser() = default;
        // nullptr when the ID no longer finds a record of the document.
        virtual RecordPtr historyRecordWithID(const std::string& recordID) const = 0;
        // The pane shown; nullopt for the record type's default pane.
        virtual std::optional<std::string> historyPaneID() const = 0;
        // Shows a record taken from the history in that pane.
        virtual void changeRecordFromHistory(const RecordPtr& record, const std::optional<std::string>& paneID) = 0;
    };

    struct Entry {
        std::string recordID;
        std::optional<std::string> paneID;
        bool operator==(const Entry&) const = default;
    };

    // One record the history can move to, for its pop-up menus.
    struct Reachable {
        int index = 0;
        RecordPtr record;
    };

    explicit RecordStack(Browser& browser);

    void addRecordToStack(const GEDCOMRecord& record);
    // The shown record in another pane: its entry is rewritten.
    void updateCurrentItem(const GEDCOMRecord& record);

    bool canGoBack() const { return canGo(-1); }
    bool canGoForward() const { return canGo(+1); }
    bool canGo(int direction) const;
    void goToBackRecord() { goToRecord(-1); }
    void goToForwardRecord() { goToRecord(+1); }
    // The nearest entry in that direction whose record still exists; the
    // current item stays where it was when there is none.
    RecordPtr goRecord(int direction, std::optional<std::string>* paneID);
    // Shows that record; false (nothing happens) when there is none.
    bool goToRecord(int direction);
    // Shows the entry at `index` when its record still exists.
    bool goToIndex(int index);

    // The records that going back (direction -1, nearest first) or forward
    // (+1) can reach, deleted ones left out.
    std::vector<Reachable> reachable(int direction) const;

    const std::vector<Entry>& stack() const { return stack_; }
    int currentItem() const { return currentItem_; }
    bool blockAddRecord() const { return blockAddRecord_; }

private:
    Entry entryFor(const GEDCOMRecord& record) const;
    void showEntry(const RecordPtr& record, const std::optional<std::string>& paneID);

    std::vector<Entry> stack_;
    Browser& browser_;
    int currentItem_ = -1;
    bool blockAddRecord_ = false;
};

}  // namespace kl
