#pragma once
// OpenPanel: File ▸ Open… of Kinlore Editor. Its documents are of two
// sorts the desktop's file dialog keeps apart: format and extension
// packages are folders, scripts are files. The panel lists both, and
// choosing a package opens it rather than entering it. Main thread only.
#include <QFileDialog>

#include <filesystem>
#include <vector>

namespace kl {

class OpenPanel : public QFileDialog {
    Q_OBJECT
public:
    explicit OpenPanel(QWidget* parent = nullptr);

    // Whether a path is a folder the editor opens as a document.
    static bool isPackage(const std::filesystem::path& path);
    // The chosen documents after the panel was accepted.
    std::vector<std::filesystem::path> chosenPaths() const;
    // Runs the panel modally; empty when cancelled.
    static std::vector<std::filesystem::path> choose(QWidget* parent);

public slots:
    void accept() override;

private:
    std::vector<std::filesystem::path> chosen_;
};

}  // namespace kl
