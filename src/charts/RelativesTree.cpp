#include "charts/RelativesTree.h"

#include "charts/AncestorItem.h"
#include "charts/DescendantItem.h"
#include "document/GEDCOMModel.h"
#include "document/IndexStyle.h"
#include "document/RecordsIndices.h"
#include "document/RecordsList.h"
#include "foundation/Logger.h"
#include "foundation/MainThread.h"
#include "model/FAMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/INDIRecord.h"
#include "model/LibraryServices.h"
#include "script/ISNoneType.h"

namespace kl {

namespace {
std::string localized(const char* key) {
    auto library = LibraryServices::current();
    return library ? library->localString(key) : key;
}
}  // namespace

RelativesTree::RelativesTree(Kind kind, GEDCOMModel& model, std::shared_ptr<IndexStyle> style, RelativesView* view)
    : kind_(kind), model_(model), style_(std::move(style)), view_(view) {}

RelativesTree::~RelativesTree() {
    observations_.clear();
    Dispatcher::current().cancelDeferred(this);
    // The nodes leave without telling a window that may be gone already.
    view_ = nullptr;
    root_.reset();
}

void RelativesTree::setRootItemRecord(const std::shared_ptr<INDIRecord>& person) {
    root_.reset();
    members_.clear();
    famMembers_.clear();
    crossRefNum_ = 0;
    if (kind_ == Kind::Ancestors)
        root_ = std::make_unique<AncestorItem>(person, nullptr, this);
    else
        root_ = std::make_unique<DescendantItem>(person, nullptr, this);
    checkDuplicate(*root_);
}

std::shared_ptr<INDIRecord> RelativesTree::rootRecord() const {
    return root_ ? std::dynamic_pointer_cast<INDIRecord>(root_->individual()) : nullptr;
}

// ---- registers

TreeItem* RelativesTree::checkDuplicate(TreeItem& item) {
    auto person = item.individual();
    if (!person) return nullptr;
    auto [found, added] = members_.try_emplace(person->grecordID(), std::vector<TreeItem*>{&item});
    if (added) return nullptr;
    TreeItem* first = found->second.front();
    if (first->crossRefNum() == 0) first->setCrossRefNum(++crossRefNum_);
    item.setCrossRefNum(-first->crossRefNum());
    found->second.push_back(&item);
    return first;
}

void RelativesTree::addFamMembers(const FAMRecord& family, const INDIRecord* spouse, TreeItem& item) {
    auto& nodes = famMembers_[family.grecordID()];
    nodes.push_back(&item);
    if (nodes.size() >= 3) {
        Logger::log("{} ERROR - should never find family more than twice", family.grecordID());
        return;
    }
    // The links' own texts, read in place: this runs for every family node
    // a branch expansion builds.
    const auto husband = family.husband();
    const bool spouseIsHusband = spouse && husband && husband->contents() == spouse->grecordID();
    const auto other = spouseIsHusband ? family.wife() : husband;
    if (other && !other->contents().empty()) famMembers_[other->contents()].push_back(&item);
}

void RelativesTree::removeFromMembers(TreeItem& item) { item.removeChildrenFromMembers(members_, famMembers_); }

void RelativesTree::nodeLeaving(const TreeItem& item) {
    if (view_) view_->nodeLeaving(item);
}

TreeItem* RelativesTree::firstNode(const std::string& recordID) const {
    auto found = members_.find(recordID);
    return found == members_.end() || found->second.empty() ? nullptr : found->second.front();
}

// ---- tree shape

int RelativesTree::numberOfChildrenOfItem(TreeItem* item) {
    if (!root_) return 0;
    if (!item) return kind_ == Kind::Ancestors ? 1 : 1 + std::max(0, root_->numberOnNextLevel());
    return std::max(0, item->numberOnNextLevel());
}

TreeItem* RelativesTree::child(int index, TreeItem* item) {
    if (item) return item->treeChildAtIndex(index);
    if (index == 0 || kind_ == Kind::Ancestors) return root_.get();
    return root_->treeChildAtIndex(index - 1);
}

bool RelativesTree::isItemExpandable(TreeItem* item) {
    if (!item) return true;
    if (kind_ == Kind::Descendants && !item->spouseRecord()) return false;
    return item->numberOnNextLevel() > 0;
}

// ---- row texts

std::string RelativesTree::nameText(const GEDCOMRecord& record, int number) const {
    std::string name = record.altViewName();
    if (number > 0) return name + " [" + std::to_string(number) + "]";
    if (number < 0) return name + " [see " + std::to_string(-number) + "]";
    return name;
}

std::optional<std::string> RelativesTree::stringForItem(TreeItem& item, int column) {
    auto person = item.individual();
    if (!person) return std::string();
    if (item.spouseRecord()) {
        auto* node = static_cast<DescendantItem*>(&item);
        auto spouse = node->otherSpouse();
        if (!spouse) {
            if (column == 0) return localized("...(unknown spouse)");
            if (style_ && column == style_->portraitColumn()) return std::nullopt;
            return std::string();
        }
        if (column == 0) return "..." + spouse->altViewName();
        return style_ ? style_->dataForRecord(*spouse, column, &model_) : std::string();
    }
    if (column == 0) return nameText(*person, item.crossRefNum());
    return style_ ? style_->dataForRecord(*person, column, &model_) : std::string();
}

std::string RelativesTree::headerValueForColumn(int column, bool& keepLine) const {
    keepLine = false;
    if (column <= 0 || !style_ || column >= static_cast<int>(style_->numberOfColumns())) return {};
    const std::string& title = style_->columns()[static_cast<std::size_t>(column)].label;
    static const std::string plusMinus = "\u00b1";
    if (title.starts_with(plusMinus)) {
        keepLine = true;
        return {};
    }
    if (title.starts_with('-')) return {};
    if (title.starts_with('+')) {
        keepLine = true;
        return title.substr(1);
    }
    return title;
}

std::vector<ChartBoxLine> RelativesTree::chartBoxLines(TreeItem& item, int nameAlignment) {
    std::vector<ChartBoxLine> lines;
    const int columns = style_ ? static_cast<int>(style_->numberOfColumns()) : 1;
    for (int c = 0; c < columns; ++c) {
        if (style_ && c == style_->portraitColumn()) continue;
        bool keep = false;
        std::string header = headerValueForColumn(c, keep);
        if (!header.empty()) header += ": ";
        const std::string value = stringForItem(item, c).value_or(std::string());
        if (value.empty() && !keep && c > 0) continue;
        std::string text = header + value;
        if (text.empty()) text = " ";
        lines.push_back({std::move(text), c == 0 || !style_ ? nameAlignment : style_->justifyForColumn(c)});
    }
    return lines;
}

std::string RelativesTree::windowTitleForDocumentDisplayName(const std::string& displayName) const {
    auto person = rootRecord();
    const std::string name = person ? person->description() : std::string();
    return displayName + (kind_ == Kind::Ancestors ? " - Ancestors of " : " - Descendants of ") + name;
}

std::vector<OutlineRow> RelativesTree::rowsWhere(const std::function<bool(TreeItem&)>& expanded) {
    std::vector<OutlineRow> rows;
    std::function<void(TreeItem*, int)> walk = [&](TreeItem* parent, int level) {
        const int count = numberOfChildrenOfItem(parent);
        for (int i = 0; i < count; ++i) {
            TreeItem* item = child(i, parent);
            if (!item) continue;
            rows.push_back({item, level});
            if (isItemExpandable(item) && expanded(*item)) walk(item, level + 1);
        }
    };
    walk(nullptr, 0);
    return rows;
}

// ---- export and listing

std::string RelativesTree::exportTreeColumns(const std::vector<OutlineRow>& rows,
                                             const std::vector<std::string>& fileNameAndDates) {
    std::string text = localized(kind_ == Kind::Ancestors ? "Ancestors of" : "Descendants of");
    auto person = rootRecord();
    text += " " + (person ? person->altViewName() : std::string()) + "\n";
    for (const auto& line : fileNameAndDates) text += line + "\n";
    text += "\n";
    const int columns = style_ ? static_cast<int>(style_->numberOfColumns()) : 1;
    const int portrait = style_ ? style_->portraitColumn() : -1;
    const auto labels = style_ ? style_->label() : std::vector<std::string>{};
    bool first = true;
    for (int c = 0; c < columns; ++c) {
        if (c == portrait) continue;
        if (!first) text += '\t';
        first = false;
        if (static_cast<std::size_t>(c) < labels.size()) text += labels[static_cast<std::size_t>(c)];
    }
    text += '\n';
    for (const OutlineRow& row : rows) {
        for (int l = 0; l < row.level; ++l) text += "  ";
        text += stringForItem(*row.item, 0).value_or(std::string());
        for (int c = 1; c < columns; ++c)
            if (c != portrait) text += '\t' + stringForItem(*row.item, c).value_or(std::string());
        text += '\n';
    }
    return text;
}

// Plain form: [level, individual], [level, individual, n] for a repeated
// person's first node, [level, position of the first node's entry] for a
// later node, [level, spouse or "", family] for a family row. The internal
// script form writes a later node as [level, none, position] and a family
// row as [-level - 1, spouse or none, family].
Array RelativesTree::listedRecords(const std::vector<OutlineRow>& rows, bool internalScript) {
    Array entries;
    std::unordered_map<const TreeItem*, long> positions;
    struct Pending {
        std::size_t entry;
        const TreeItem* item;
    };
    std::vector<Pending> later;
    auto none = [] { return Value(std::static_pointer_cast<Object>(ISNoneType::none())); };
    auto laterEntry = [&](long level, long position) {
        return internalScript ? Value(Array{Value(level), none(), Value(position)})
                              : Value(Array{Value(level), Value(position)});
    };
    for (const OutlineRow& row : rows) {
        TreeItem& item = *row.item;
        const long level = row.level;
        if (item.spouseRecord()) {
            auto* node = static_cast<DescendantItem*>(&item);
            auto spouse = node->otherSpouse();
            Value shown = spouse ? Value(std::static_pointer_cast<Object>(spouse))
                                 : (internalScript ? none() : Value(std::string()));
            entries.emplace_back(Array{Value(internalScript ? -level - 1 : level), shown,
                                       Value(std::static_pointer_cast<Object>(node->theRecord()))});
            continue;
        }
        auto person = item.individual();
        const Value record(std::static_pointer_cast<Object>(person));
        if (item.crossRefNum() < 0) {
            TreeItem* first = firstNode(person->grecordID());
            auto known = positions.find(first);
            if (known != positions.end()) {
                entries.push_back(laterEntry(level, known->second));
            } else {
                later.push_back({entries.size(), &item});
                entries.emplace_back(Array{Value(level), record});
            }
            continue;
        }
        positions[&item] = static_cast<long>(entries.size()) + 1;
        if (item.crossRefNum() > 0)
            entries.emplace_back(Array{Value(level), record, Value(static_cast<long>(item.crossRefNum()))});
        else
            entries.emplace_back(Array{Value(level), record});
    }
    // A later node shown before its person's first node learns the first
    // node's place only now.
    for (const Pending& pending : later) {
        auto person = pending.item->individual();
        auto known = positions.find(firstNode(person->grecordID()));
        if (known == positions.end()) {
            Logger::log("Failed to find first appearance of individual {}", person->description());
            continue;
        }
        const Array& old = *entries[pending.entry].array();
        entries[pending.entry] = laterEntry(old.front().toInteger(0), known->second);
    }
    return entries;
}

int RelativesTree::populateAlbum(const std::vector<OutlineRow>& rows, RecordsList& album) {
    int added = 0;
    for (const OutlineRow& row : rows) {
        std::shared_ptr<GEDCOMRecord> person;
        if (row.item->spouseRecord())
            person = static_cast<DescendantItem*>(row.item)->otherSpouse();
        else
            person = row.item->individual();
        if (!person) continue;
        album.addRecordToAlbum(person);
        ++added;
    }
    return added;
}

}  // namespace kl
