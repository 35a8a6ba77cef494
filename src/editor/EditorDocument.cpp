#include "editor/EditorDocument.h"

namespace kl {

void EditorDocument::setCurrentTemplate(const std::shared_ptr<Template>& item) {
    currentTemplate_ = item;
    templateChanged_ = false;
    titleText_ = item ? item->nameForTitle() : std::string();
}

}  // namespace kl
