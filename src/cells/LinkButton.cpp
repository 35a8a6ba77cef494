#include "cells/LinkButton.h"

#include <algorithm>
#include <array>

#include "cells/CellPane.h"
#include "cells/MultimediaCell.h"
#include "cells/TitleFormat.h"
#include "document/DocumentNotifications.h"
#include "document/GEDCOMModel.h"
#include "document/KLExpression.h"
#include "document/RecordsIndices.h"
#include "foundation/AsciiText.h"
#include "foundation/Logger.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/ModelNotifications.h"
#include "model/OBJERecord.h"

namespace kl {

namespace {

constexpr std::array<std::string_view, 12> kLinkSelectors{
    "cellExpression:", "appendedExpression:", "setFormat:",       "setReloadOnUpdate:",
    "setRecordLink:",  "setPaneIDLink:",      "setMenuLink:",     "setScriptLink:",
    "setScriptLinkType:", "setScriptMessage:", "setExprRecord:",  "goToRecord:"};

std::string replaceAll(std::string text, std::string_view from, std::string_view to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// Whether a link of this tag may point at a record of this type.
bool tagFitsRecord(const std::string& tag, const std::string& type) {
    if (tag == type || tag == "ASSO") return true;
    if (tag == "_FAM") return type == "FAM";
    if (tag == "_INDI" || tag == "ALIA") return type == "INDI";
    if (tag == "ANCI" || tag == "DESI") return type == "SUBM";
    if (tag == "__PLC") return type == "_PLC";
    return false;
}

}  // namespace

LinkButton::LinkButton(const CellRect& frame, const EditingPrefs* prefs,
                       const std::shared_ptr<GEDCOMObject>& linkStructure, std::string className)
    : ButtonCell(std::move(className), frame, prefs), linkStructure_(linkStructure) {
    setBezelStyle(2);
}

LinkButton::~LinkButton() = default;

bool LinkButton::respondsTo(std::string_view selector) const {
    return ButtonCell::respondsTo(selector) ||
           std::find(kLinkSelectors.begin(), kLinkSelectors.end(), selector) != kLinkSelectors.end();
}

bool LinkButton::takeProperty(std::string_view selector, const std::vector<std::string>& values) {
    const std::string first = values.empty() ? std::string() : values.front();
    if (selector == "setFormat:") setFormat(first);
    else if (selector == "appendedExpression:") appendedExpression(first);
    else if (selector == "setReloadOnUpdate:") setReloadOnUpdate(first == "yes");
    else if (selector == "setRecordLink:") setRecordLink(first);
    else if (selector == "setPaneIDLink:") paneIDLink_ = first;
    else if (selector == "setMenuLink:") setMenuLink(std::atoi(first.c_str()));
    else if (selector == "setScriptLink:") setScriptLink(first);
    else if (selector == "setScriptLinkType:") return setScriptLinkType(first);
    else if (selector == "setScriptMessage:") scriptMessage_ = first;
    else return ButtonCell::takeProperty(selector, values);
    return true;
}

// ---- the title

std::string LinkButton::cellString() const {
    auto shown = structure();
    if (reloadOnUpdate_ || !usingExpression_ || !shown) return std::string();
    std::string value;
    if (theExpr_) {
        const GEDCOMRecord* source = shown->theRecord();
        value = source ? theExpr_->valueInRecord(*shown, *source, model()) : std::string();
    } else {
        value = shown->contents();
    }
    if (compactForFormat_) value = joinedLines(value);
    return titleWithFormat(format_, value);
}

void LinkButton::refreshTitle() {
    if (!usingExpression_ || reloadOnUpdate_) return;
    setText(cellString());
    if (shownImage()) growForImage();
}

void LinkButton::appendText(const std::string& text) {
    if (usingExpression_ && !reloadOnUpdate_) {
        refreshTitle();
        return;
    }
    ButtonCell::appendText(text);
}

void LinkButton::setFormat(const std::string& format) {
    compactForFormat_ = format.find("%!") != std::string::npos;
    format_ = compactForFormat_ ? replaceAll(format, "%!", "%@") : format;
    refreshTitle();
}

void LinkButton::setReloadOnUpdate(bool reload) {
    reloadOnUpdate_ = reload;
    refreshTitle();
}

void LinkButton::cellExpression(const std::shared_ptr<GEDCOMObject>& shown, const GEDCOMRecord* browserRecord,
                                GEDCOMModel* model) {
    if (model) model_ = model;
    endExprRecordObservations();
    usingExpression_ = true;
    setStructure(shown);
    GEDCOMRecord* owner = shown ? shown->theRecord() : nullptr;
    if (owner && owner != browserRecord) {
        exprRecord_ = std::dynamic_pointer_cast<GEDCOMRecord>(owner->weak_from_this().lock());
        auto& center = NotificationCenter::defaultCenter();
        const void* store = static_cast<const void*>(model_);
        deletedObservation_ = center.addObserver(notification_names::GEDCOMRecordDeleted, store,
                                                 [this](const Notification& note) { recordDeleted(note); });
        changedObservation_ = center.addObserver(notification_names::RecordStructuresChanged,
                                                 static_cast<const GEDCOMObject*>(owner), [this](const Notification&) {
                                                     if (LinkHost* h = host()) h->reloadLinkRecord();
                                                 });
    }
    refreshTitle();
    watchReached();
}

void LinkButton::appendedExpression(const std::optional<std::string>& text) {
    if (!text) {
        theExpr_.reset();
        return;
    }
    theExpr_ = std::make_shared<KLExpression>(*text);
    if (!usingExpression_) return;
    refreshTitle();
    watchReached();
}

void LinkButton::watchReached() {
    // A title made of another record's values (the linked record's name)
    // follows that record's structures as a title of the structure's own
    // value follows it.
    linkedObservation_.reset();
    auto shown = structure();
    if (!shown || !theExpr_) return;
    std::vector<const GEDCOMRecord*> others;
    if (GEDCOMObject* reached = theExpr_->lastStructure(); reached && reached != shown.get()) {
        const auto* record = dynamic_cast<const GEDCOMRecord*>(reached);
        others.push_back(record ? record : reached->theRecord());
    }
    if (GEDCOMModel* records = model(); records && KLExpression::isRecordPointer(shown->contents()))
        others.push_back(records->recordWithID(shown->contents()).get());
    std::erase_if(others, [&](const GEDCOMRecord* other) { return !other || other == shown->theRecord(); });
    if (others.empty()) return;
    linkedObservation_ = NotificationCenter::defaultCenter().addObserver(
        notification_names::RecordStructureContentsChanged, nullptr, [this, others](const Notification& note) {
            const auto* changed = static_cast<const GEDCOMObject*>(note.object);
            if (changed && std::find(others.begin(), others.end(), changed->theRecord()) != others.end())
                updateStructure();
        });
}

void LinkButton::updateStructure() {
    if (reloadOnUpdate_) {
        if (LinkHost* h = host()) h->reloadLinkRecord();
        return;
    }
    const std::string due = cellString();
    if (due == text()) return;
    setText(due);
    if (maxWidth_ > 0) {
        const double height = viewFrame().height;
        sizeToFit(0);
        CellRect frame = viewFrame();
        frame.width = std::min(frame.width, maxWidth_);
        frame.height = height;
        setViewFrame(frame);
    }
}

void LinkButton::structureWillRemove() {
    setStructure(nullptr);
    setText(cellString());
}

void LinkButton::recordDeleted(const Notification& note) {
    const Value* deleted = note.userInfo.get(user_info_keys::TheRecord);
    if (!deleted || !exprRecord_ || deleted->object() != std::static_pointer_cast<Object>(exprRecord_)) return;
    setStructure(nullptr);
    setText(cellString());
    endExprRecordObservations();
}

void LinkButton::endExprRecordObservations() {
    deletedObservation_.reset();
    changedObservation_.reset();
    exprRecord_.reset();
}

// ---- what it leads to

void LinkButton::setRecordLink(const std::optional<std::string>& link) {
    recordLink_ = link;
    if (link) menuLink_ = 0;
}

void LinkButton::setMenuLink(int number) {
    menuLink_ = (number / 1000) * 1000;
    subMenuLink_ = ((number % 1000) / 100) * 100;
    menuItemLink_ = number % 100;
    recordLink_.reset();
}

void LinkButton::setScriptLink(const std::string& name) {
    recordLink_ = name;
    menuLink_ = -1;
    if (subMenuLink_ >= 3) subMenuLink_ = 0;
}

bool LinkButton::setScriptLinkType(const std::string& word) {
    static constexpr std::array<std::string_view, 3> words{"system", "user", "format"};
    auto it = std::find(words.begin(), words.end(), asciiLower(word));
    if (it == words.end()) return false;
    subMenuLink_ = static_cast<int>(it - words.begin());
    return true;
}

bool LinkButton::editingEnded() const { return !pane() || pane()->endActiveCell(0) != EditRefused; }

LinkHost* LinkButton::host() const { return pane() ? pane()->linkHost() : nullptr; }

GEDCOMModel* LinkButton::model() const {
    if (model_) return model_;
    LinkHost* h = host();
    return h ? h->linkModel() : nullptr;
}

std::shared_ptr<GEDCOMRecord> LinkButton::linkedRecord() const {
    GEDCOMModel* records = model();
    if (!recordLink_ || !records) return nullptr;
    if (*recordLink_ == "place") {
        auto link = linkStructure();
        return link ? records->placeForName(link->contents()) : nullptr;
    }
    return records->recordWithID(*recordLink_);
}

// ---- the user

void LinkButton::buttonClick(bool optionDown) {
    LinkHost* h = host();
    if (!h) return;
    if (menuLink_ > 0) {
        if (!editingEnded()) return;
        if (!h->performMenuItem(menuLink_, subMenuLink_, menuItemLink_)) h->beep();
        return;
    }
    if (menuLink_ == -1) {
        if (!editingEnded()) return;
        h->runScript(recordLink_.value_or(std::string()), subMenuLink_, scriptMessage_);
        return;
    }
    if (!recordLink_ || !editingEnded()) return;
    if (*recordLink_ == "reload") {
        h->reloadLinkRecord();
        return;
    }
    auto record = linkedRecord();
    if (!record) {
        h->recordNotOpened(*recordLink_ == "place" ? "No place record was found for this place (or the place is empty)"
                                                  : "The record was not found, is corrupted, or was deleted");
        return;
    }
    optionDown_ = optionDown;
    goToRecord(record);
    optionDown_ = false;
}

void LinkButton::goToRecord(const std::shared_ptr<GEDCOMRecord>& record) {
    LinkHost* h = host();
    if (!h || !record) return;
    switch (windowTarget()) {
    case TargetParent:
    case TargetParentIfNew:
        if (optionDown_) h->openLinkedRecord(record, LinkHost::Open::NewWindow, std::nullopt);
        else h->openLinkedRecord(record, LinkHost::Open::ThisWindow,
                                 paneIDLink_.empty() ? std::nullopt : std::optional<std::string>(paneIDLink_));
        break;
    case TargetNew:
    case TargetNewIfNew:
        h->openLinkedRecord(record, LinkHost::Open::NewWindow, h->browserPaneID());
        break;
    default:
        h->openLinkedRecord(record, LinkHost::Open::ChildWindow, h->browserPaneID());
        break;
    }
}

std::vector<ButtonCell::MenuItem> LinkButton::contextMenu() const {
    if (menuLink_ != 0 || !recordLink_ || *recordLink_ == "reload") return {};
    auto link = linkStructure();
    if (*recordLink_ == "place" && !link) return {};
    auto record = linkedRecord();
    if (!record) return {};
    const std::string type = record->recordType();
    const std::string name = RecordsIndices::singularNameForRecordType(type, record.get());
    auto filled = [&name](std::string title) { return titleWithFormat(title, name); };
    std::vector<MenuItem> items{{0, filled("Open %@ record in a new window")},
                                {1, filled("Open %@ record in this window")},
                                {2, filled("Open %@ record in a child window")}};
    auto object = std::dynamic_pointer_cast<OBJERecord>(record);
    if (object) {
        bool isURL = false;
        auto path = object->mmFileFullPathOrURL(&isURL);
        if (!isURL && path && !path->empty()) items.push_back({5, "Open Multimedia File in Helper Application"});
    }
    std::shared_ptr<GEDCOMRecord> shownRecord = pane() ? pane()->paneRecord() : nullptr;
    if (object && shownRecord && (shownRecord->isType("INDI") || shownRecord->isType("FAM"))) {
        const auto& children = shownRecord->structures();
        const bool linked = std::any_of(children.begin(), children.end(), [&](const auto& child) {
            return child->gtag() == "OBJE" && child->contents() == record->grecordID();
        });
        if (linked) items.push_back({4, filled("Designate this %@ as this record's portrait")});
    }
    if (link && link->contents() == record->grecordID() && tagFitsRecord(link->gtag(), type))
        items.push_back({3, filled("Detach link to this %@ record")});
    return items;
}

void LinkButton::cellMenuAction(int tag) {
    LinkHost* h = host();
    if (!h) return;
    auto record = linkedRecord();
    if (!editingEnded()) return;
    if (!record && tag != 3) {
        h->beep();
        return;
    }
    if (tag >= 0 && tag <= 2) {
        static constexpr int targets[] = {TargetNew, TargetParent, TargetChild};
        const int kept = windowTarget();
        setWindowTarget(targets[tag]);
        goToRecord(record);
        setWindowTarget(kept);
        return;
    }
    if (tag == 3) {
        auto link = linkStructure();
        std::shared_ptr<GEDCOMObject> parent;
        if (link && link->theRecord()) {
            GEDCOMRecord* owner = link->theRecord();
            parent = owner->findParentOfStructure(link.get());
        }
        if (!parent) {
            Logger::log("Can't find parent of the link that is needed for detaching that link.");
            h->beep();
            return;
        }
        h->detachEventNow(parent, link);
        return;
    }
    if (tag == 4) {
        h->changeOBJERecord(record);
        return;
    }
    if (tag == 5) {
        auto object = std::dynamic_pointer_cast<OBJERecord>(record);
        bool isURL = false;
        auto path = object ? object->mmFileFullPathOrURL(&isURL) : std::nullopt;
        if (!object || isURL || !path || path->empty()) {
            h->beep();
            return;
        }
        std::string format = object->mmFormat();
        if (format.empty()) format = MultimediaCell::pathExtension(*path);
        openWithHelper(*path, format);
    }
}

void LinkButton::openWithHelper(const std::string& path, const std::string& format) {
    LinkHost* h = host();
    if (!h) return;
    const MultimediaCell::HelperChoice choice = MultimediaCell::helperChoice(format, h->linkDefaults());
    if (choice.askAgain) {
        h->confirmHelper(choice.application, choice.option, path, format);
        return;
    }
    MultimediaCell::confirmedMultimediaClick(path, choice.application, choice.option);
}

}  // namespace kl
