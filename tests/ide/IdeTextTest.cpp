// The IDE's text handling: line ends and encodings, colouring from the engine's
// lexer, the wizard's texts, the function browser and the profile.
#include <QAbstractButton>
#include <QElapsedTimer>
#include <QSettings>
#include <cstring>
#include <ctime>

#include "IdeTestMain.h"
#include "Plugins/QvPluginRegistry.h"
#include "QvConsoleView.h"
#include "QvFunctionBrowser.h"
#include "QvHelpWindow.h"
#include "QvProfile.h"
#include "QvSolutionWizard.h"
#include "QvSourceEditor.h"
#include "QvSourceText.h"
#include "QvSyntaxColouring.h"
#include "Session/QvParserApi.h"

namespace {
using Encoding = QvSourceText::Encoding;

bool passesCheck(const QString& text) {
    const QByteArray script = QvSourceText::encode(text, Encoding::Utf8);
    QvParser* session = QvParserCreate(script.constData(), long(script.size()), nullptr);
    QvParserCheckSyntax(session);
    const bool clean = QvParserGetErrorFlag(session) == 0;
    QvParserDelete(session);
    return clean;
}

QString rangeText(const QString& text, const QvColourRange& range) { return text.mid(range.start, range.length); }

const QvColourRange* findKind(const std::vector<QvColourRange>& ranges, int kind, int from = 0) {
    for (const QvColourRange& range : ranges)
        if (range.kind == kind && range.start >= from) return &range;
    return nullptr;
}
}  // namespace

class IdeTextTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void lineEndsAreNormalisedAndControlBytesDropped() {
        QCOMPARE(QvSourceText::normaliseLineEnds("a\r\nb\rc\nd\x0c" "e\x01\tf\r\r\n\n"),
                 QByteArray("a\r\nb\r\nc\r\nde\tf\r\n\r\n\r\n"));
        QCOMPARE(QvSourceText::normaliseLineEnds("no end"), QByteArray("no end"));
        QCOMPARE(QvSourceText::normaliseLineEnds(QByteArray("x\0y", 3)), QByteArray("xy"));
    }

    void filesKeepTheirEncodingThroughEditing() {
        Encoding encoding;
        const QByteArray latin1("caf\xe9\r\nna\xefve\n");
        QString text = QvSourceText::decodeFile(latin1, &encoding);
        QCOMPARE(encoding, Encoding::Latin1);
        QCOMPARE(text, QStringLiteral("caf\u00e9\r\nna\u00efve\r\n"));
        QCOMPARE(QvSourceText::encode(text, encoding), QByteArray("caf\xe9\r\nna\xefve\r\n"));

        const QByteArray utf8("\xef\xbb\xbfprint \"\xc3\xa9\xf0\x9f\x8e\xa5\";\r");
        text = QvSourceText::decodeFile(utf8, &encoding);
        QCOMPARE(encoding, Encoding::Utf8);
        QCOMPARE(text.size(), 15);
        QCOMPARE(QvSourceText::encode(text, encoding), QByteArray("\xef\xbb\xbfprint \"\xc3\xa9\xf0\x9f\x8e\xa5\";\r\n"));

        QVERIFY(QvSourceText::canEncode(QStringLiteral("caf\u00e9"), Encoding::Latin1));
        QVERIFY(!QvSourceText::canEncode(QStringLiteral("\u20ac"), Encoding::Latin1));
    }

    void encodedBytesPointBackAtTheirCharacters() {
        std::vector<int> charOfByte;
        const QByteArray bytes = QvSourceText::encode(QStringLiteral("\u00e9\n\U0001F3A5a"), Encoding::Utf8, &charOfByte);
        QCOMPARE(bytes, QByteArray("\xc3\xa9\r\n\xf0\x9f\x8e\xa5" "a"));
        QCOMPARE(charOfByte, (std::vector<int>{0, 0, 1, 1, 2, 2, 2, 2, 4}));
    }

    void coloursLandOnTheEditorCharactersOfAUtf8CrlfText() {
        Encoding encoding;
        QString text = QvSourceText::decodeFile("// \xc3\xa9t\xc3\xa9\r\nprint \"\xc3\xbc\xc3\xbc\" + 12;\r\n", &encoding);
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        const std::vector<QvColourRange> ranges = QvLexColourRanges(text, encoding);

        const QvColourRange* comment = findKind(ranges, 2);
        QVERIFY(comment);
        QCOMPARE(comment->start, 0);
        QVERIFY(rangeText(text, *comment).startsWith(QStringLiteral("// \u00e9t\u00e9")));
        const QvColourRange* keyword = findKind(ranges, 6);
        QVERIFY(keyword);
        QCOMPARE(rangeText(text, *keyword), QStringLiteral("print"));
        QCOMPARE(keyword->start, 7);
        const QvColourRange* string = findKind(ranges, 1);
        QVERIFY(string);
        QCOMPARE(rangeText(text, *string), QStringLiteral("\"\u00fc\u00fc\""));
        const QvColourRange* number = findKind(ranges, 5);
        QVERIFY(number);
        QCOMPARE(rangeText(text, *number), QStringLiteral("12"));
        for (size_t i = 1; i < ranges.size(); ++i) QVERIFY(ranges[i].start >= ranges[i - 1].end());
    }

    void editsMoveTheColoursAfterThemUntilTheNextPass() {
        QvSourceEditor editor;
        editor.setPlainText(QStringLiteral("set a to 1;\nprint a;"));
        editor.recolour();
        const QvColourRange print = *findKind(editor.colourer().ranges(), 6, 12);
        QCOMPARE(print.start, 12);
        QTextCursor cursor(editor.document());
        cursor.insertText(QStringLiteral("// new\n"));
        const QvColourRange* moved = findKind(editor.colourer().ranges(), 6, 14);
        QVERIFY(moved);
        QCOMPARE(moved->start, 19);
        QTRY_VERIFY_WITH_TIMEOUT(findKind(editor.colourer().ranges(), 2) != nullptr, 2000);
    }

    void colouringATenThousandLineScript() {
        QString script;
        for (int i = 0; i < 10000; ++i)
            script += QStringLiteral("set value%1 to value%1 + %1 * 2; // line \"%1\"\n").arg(i);
        QvSourceEditor editor;
        editor.resize(640, 480);
        editor.show();
        editor.setPlainText(script);
        QCoreApplication::processEvents();
        QElapsedTimer timer;
        timer.start();
        const std::clock_t cpuStart = std::clock();
        editor.recolour();
        QCoreApplication::processEvents();
        qInfo("Colouring 10,000 lines (lexing, formats and the redraw) took %lld ms, %ld ms of processor time",
              timer.elapsed(), long((std::clock() - cpuStart) * 1000 / CLOCKS_PER_SEC));
        QVERIFY(editor.colourer().ranges().size() > 100000);
    }

    void plainIdentifiersExcludeKeywordsAndBuiltIns() {
        QVERIFY(QvIsPlainIdentifier(QStringLiteral("area2")));
        QVERIFY(QvIsPlainIdentifier(QStringLiteral("my_function")));
        for (const char* name : {"", "2area", "print", "set", "my function", "a-b", "number", "f(x)"})
            QVERIFY2(!QvIsPlainIdentifier(QString::fromLatin1(name)), name);
    }

    void everyWizardTextPassesCheck() {
        QVERIFY(passesCheck(QvWizardText::sampleFunction()));
        for (const QString& type : QvWizardText::returnTypes()) {
            const QString text = QvWizardText::defineFunction(QStringLiteral("myFunction"), type);
            QVERIFY2(passesCheck(text), qPrintable(text));
            QVERIFY(passesCheck(QStringLiteral("print 1; // no line end") + QStringLiteral("\n") + text));
        }
        QCOMPARE(QvWizardText::defineFunction(QStringLiteral("twice"), QStringLiteral("text")),
                 QStringLiteral("// Function Define\r\ndefine twice(number x) returns text\r\nbegin\r\n"
                                "\t// put body of function here...\r\n\treturn \"\";\r\nend\r\n"));
        QCOMPARE(QvWizardText::returnLine(QStringLiteral("any")), QStringLiteral("\treturn x;"));
        QCOMPARE(QvWizardText::returnLine(QStringLiteral("boolean")), QStringLiteral("\treturn false;"));
        QCOMPARE(QvWizardText::returnLine(QStringLiteral("vector")), QStringLiteral("\treturn {};"));
    }

    void wizardFinishesOnlyWithAUsableFunction() {
        QvSolutionWizard wizard;
        wizard.show();
        QVERIFY(wizard.button(QWizard::FinishButton)->isEnabled());
        QCOMPARE(wizard.generatedText(), QvWizardText::sampleFunction());
        wizard.tasks()->setCurrentRow(1);
        wizard.next();
        QCOMPARE(wizard.currentId(), int(QvSolutionWizard::kFunctionPage));
        QCOMPARE(wizard.returnType()->currentText(), QStringLiteral("number"));
        QCOMPARE(wizard.functionName()->maxLength(), 255);
        for (const char* name : {"", "print", "1st"}) {
            wizard.functionName()->setText(QString::fromLatin1(name));
            QVERIFY2(!wizard.button(QWizard::FinishButton)->isEnabled(), name);
        }
        wizard.functionName()->setText(QStringLiteral("area"));
        wizard.returnType()->setCurrentText(QStringLiteral("nonsense"));
        QVERIFY(!wizard.button(QWizard::FinishButton)->isEnabled());
        wizard.returnType()->setCurrentText(QStringLiteral("vector"));
        QVERIFY(wizard.button(QWizard::FinishButton)->isEnabled());
        QCOMPARE(wizard.generatedText(), QvWizardText::defineFunction(QStringLiteral("area"), QStringLiteral("vector")));
    }

    void functionBrowserListsTheRegistry() {
        QvFunctionBrowser browser;
        QvPluginRegistry::Texts spaces, internal;
        QvPluginRegistry::THE_PluginRegistry().GetNameSpaceNames(spaces);
        QvPluginRegistry::THE_PluginRegistry().GetFunctionNamesInternal(internal);
        const int builtInRoots = internal.empty() ? 0 : 1;
        QCOMPARE(browser.tree()->topLevelItemCount(), int(spaces.size()) + builtInRoots);
        for (size_t i = 0; i < spaces.size(); ++i) {
            QTreeWidgetItem* root = browser.tree()->topLevelItem(int(i) + builtInRoots);
            QCOMPARE(root->text(0).toStdString(), spaces[i]);
            QvPluginRegistry::Texts functions;
            QvPluginRegistry::THE_PluginRegistry().GetFunctionNames(spaces[i], functions);
            QCOMPARE(root->childCount(), int(functions.size()));
            for (size_t f = 0; f < functions.size(); ++f)
                QCOMPARE(root->child(int(f))->text(0).toStdString(), functions[f]);
        }
        QTreeWidgetItem* root = browser.tree()->topLevelItem(builtInRoots);
        QVERIFY(root && root->childCount() > 0);
        browser.tree()->setCurrentItem(root->child(0));
        QvPluginRegistry::Texts signatures;
        QvPluginRegistry::THE_PluginRegistry().GetSignatures(root->text(0).toStdString(),
                                                            root->child(0)->text(0).toStdString(), signatures);
        QString expected = QString::fromStdString(signatures.front());
        expected.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        QVERIFY(browser.signatures()->toPlainText().startsWith(expected));
        browser.tree()->setCurrentItem(root);
        QVERIFY(browser.signatures()->toPlainText().isEmpty());
    }

    void consoleEndsOneLineForEachLineEndEvenAcrossWrites() {
        QvConsoleView console(Encoding::Utf8);
        for (const char* piece : {"one\r", "\ntwo\rthree\n", "four\r\n\r\n", "caf\xc3", "\xa9\r"})
            console.appendBytes(piece, int(std::strlen(piece)));
        QCOMPARE(console.toPlainText(), QStringLiteral("one\ntwo\nthree\nfour\n\ncaf\u00e9\n"));
        QCOMPARE(console.currentLine(), 6);

        QvConsoleView latin1(Encoding::Latin1);
        latin1.appendBytes("caf\xe9", 4);
        QCOMPARE(latin1.toPlainText(), QStringLiteral("caf\u00e9"));
    }

    void helpShowsTheManualWithItsPicturesFittedToThePage() {
        QvHelpWindow help(QStringLiteral(QV_DOCS_FOLDER));
        QTextBrowser* browser = help.browser();
        QVERIFY(browser->toPlainText().startsWith(QStringLiteral("The Quarvel manual")));
        const QVariant picture = browser->loadResource(QTextDocument::ImageResource,
                                                       browser->source().resolved(QUrl(QStringLiteral("images/ide-run.png"))));
        QCOMPARE(picture.value<QImage>().width(), int(QvManualBrowser::kPageWidth));
        browser->setSource(browser->source().resolved(QUrl(QStringLiteral("development.md"))));
        QVERIFY(browser->toPlainText().startsWith(QStringLiteral("Working on Quarvel")));
        QVERIFY(browser->isBackwardAvailable());

        QvHelpWindow missing(QStringLiteral("/nonexistent"));
        QVERIFY(missing.browser()->toPlainText().startsWith(QStringLiteral("The manual was not found")));
    }

    void windowPlacementRoundTripsThroughTheProfile() {
        QvProfile::Placement missing = QvProfile::readWindowPlacement();
        QCOMPARE(missing.x, int(0x80000000));
        QCOMPARE(missing.height, int(0x80000000));
        QVERIFY(!QvProfile::usablePlacement(missing, {QRect(0, 0, 1920, 1080)}, QRect(0, 0, 1920, 1080)));

        QvProfile::writeWindowPlacement(QRect(40, 30, 800, 600));
        QvProfile::Placement stored = QvProfile::readWindowPlacement();
        QCOMPARE(QRect(stored.x, stored.y, stored.width, stored.height), QRect(40, 30, 800, 600));
        QSettings settings(QStringLiteral("Quarvel"), QStringLiteral("Quarvel"));
        QCOMPARE(settings.value(QStringLiteral("Window Position/width")).toInt(), 800);

        const QList<QRect> screens{QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
        QCOMPARE(*QvProfile::usablePlacement(stored, screens, screens[0]), QRect(40, 30, 800, 600));
        QCOMPARE(*QvProfile::usablePlacement({2000, 100, 900, 700}, screens, screens[0]), QRect(2000, 100, 900, 700));
        QCOMPARE(*QvProfile::usablePlacement({5000, -3000, 900, 700}, screens, screens[0]), QRect(0, 0, 900, 700));
        QCOMPARE(*QvProfile::usablePlacement({-2990, 10, 3000, 700}, screens, screens[0]), QRect(0, 0, 1920, 700));
        settings.setValue(QStringLiteral("Window Position/x"), QStringLiteral("not a number"));
        QCOMPARE(QvProfile::readWindowPlacement().x, int(0x80000000));
    }
};

QV_IDE_TEST_MAIN(IdeTextTest)
#include "IdeTextTest.moc"
