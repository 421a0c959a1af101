#include "QvFunctionBrowser.h"

#include <QHBoxLayout>
#include <QSplitter>
#include <functional>

#include "Plugins/QvPluginRegistry.h"
#include "Values/QvAutoObject.h"
#include "Values/QvTextValue.h"

namespace {
// Collects the texts a listing function gives for index 0, 1, ... until it has no more.
QStringList listing(const std::function<int(long, QvTextValue*)>& item) {
    QStringList names;
    QvValue* text = QvTextCreate("");
    for (long i = 0; item(i, static_cast<QvTextValue*>(text)); ++i) names << QString::fromUtf8(QvTextGetTextPtr(text));
    QvTextDelete(text);
    return names;
}

QString signatureText(const std::function<void(QvTextValue*)>& fetch) {
    QvValue* text = QvTextCreate("");
    fetch(static_cast<QvTextValue*>(text));
    QString signatures = QString::fromUtf8(QvTextGetTextPtr(text));
    QvTextDelete(text);
    signatures.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    signatures.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return signatures;
}

constexpr int kBuiltInRole = Qt::UserRole;

void addRoot(QTreeWidget* tree, const QString& name, const QStringList& functions, bool builtIn = false) {
    auto* root = new QTreeWidgetItem(tree, {name});
    root->setData(0, kBuiltInRole, builtIn);
    for (const QString& function : functions) new QTreeWidgetItem(root, {function});
}
}  // namespace

QvFunctionBrowser::QvFunctionBrowser(QWidget* parent)
    : QDialog(parent), tree_(new QTreeWidget), signatures_(new QPlainTextEdit) {
    setWindowTitle(QStringLiteral("Function Browser"));
    setModal(false);
    tree_->setHeaderHidden(true);
    signatures_->setReadOnly(true);
    signatures_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    auto* splitter = new QSplitter;
    splitter->addWidget(tree_);
    splitter->addWidget(signatures_);
    splitter->setStretchFactor(1, 2);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(splitter);
    resize(720, 420);
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) { showSignatures(item); });
    fill();
}

void QvFunctionBrowser::fill() {
    tree_->clear();
    signatures_->clear();
    QStringList internal = listing(QvPluginRegistryGetFunctionNamesInternal);
    if (!internal.isEmpty()) addRoot(tree_, QString::fromLatin1(kBuiltInRoot), internal, true);
    for (const QString& space : listing(QvPluginRegistryGetNameSpace)) {
        const QByteArray name = space.toUtf8();
        addRoot(tree_, space, listing([&](long i, QvTextValue* out) {
                    return QvPluginRegistryGetFunctionName(name.constData(), i, out);
                }));
    }
}

void QvFunctionBrowser::showSignatures(QTreeWidgetItem* item) {
    if (!item || !item->parent()) {
        signatures_->clear();
        return;
    }
    const QByteArray function = item->text(0).toUtf8();
    const QByteArray space = item->parent()->text(0).toUtf8();
    const bool builtIn = item->parent()->data(0, kBuiltInRole).toBool();
    signatures_->setPlainText(signatureText([&](QvTextValue* out) {
        if (builtIn)
            QvPluginRegistryGetSignatureInternal(function.constData(), out);
        else
            QvPluginRegistryGetSignature(space.constData(), function.constData(), out);
    }));
}
