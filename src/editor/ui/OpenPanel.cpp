#include "editor/ui/OpenPanel.h"

#include <QFileInfo>

#include "editor/Template.h"

namespace kl {

namespace fs = std::filesystem;

OpenPanel::OpenPanel(QWidget* parent) : QFileDialog(parent, tr("Open")) {
    // The desktop's own dialog would enter a package folder.
    setOption(QFileDialog::DontUseNativeDialog);
    setFileMode(QFileDialog::ExistingFiles);
    setAcceptMode(QFileDialog::AcceptOpen);
    setNameFilter(tr("Formats, extensions and scripts (*.kfrmt *.kplug *.py *.klscpt)"));
}

bool OpenPanel::isPackage(const fs::path& path) {
    std::error_code error;
    return fs::is_directory(path, error) && hasExtensionAmong(path.filename().string(), {"kfrmt", "kplug"});
}

std::vector<fs::path> OpenPanel::chosenPaths() const { return chosen_; }

void OpenPanel::accept() {
    std::vector<fs::path> chosen;
    bool folderOnly = true;
    for (const QString& file : selectedFiles()) {
        const fs::path path(file.toStdString());
        chosen.push_back(path);
        std::error_code error;
        if (!fs::is_directory(path, error) || isPackage(path)) folderOnly = false;
    }
    // A plain folder is entered, as in any open panel.
    if (chosen.empty() || folderOnly) {
        QFileDialog::accept();
        return;
    }
    std::erase_if(chosen, [](const fs::path& path) {
        std::error_code error;
        return fs::is_directory(path, error) && !isPackage(path);
    });
    chosen_ = std::move(chosen);
    QDialog::accept();
}

std::vector<fs::path> OpenPanel::choose(QWidget* parent) {
    OpenPanel panel(parent);
    if (panel.exec() != QDialog::Accepted) return {};
    return panel.chosenPaths();
}

}  // namespace kl
