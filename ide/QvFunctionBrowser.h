#pragma once
#include <QDialog>
#include <QPlainTextEdit>
#include <QTreeWidget>

// Lists the functions of the process-wide registry: a root "Built-in" for the
// functions without a namespace (when there are any), then one root per namespace.
// Selecting a function shows the text of each of its signatures.
class QvFunctionBrowser : public QDialog {
public:
    static constexpr const char* kBuiltInRoot = "Built-in";

    explicit QvFunctionBrowser(QWidget* parent = nullptr);

    QTreeWidget* tree() const { return tree_; }
    QPlainTextEdit* signatures() const { return signatures_; }
    // Reads the registry again.
    void fill();

private:
    void showSignatures(QTreeWidgetItem* item);

    QTreeWidget* tree_;
    QPlainTextEdit* signatures_;
};
