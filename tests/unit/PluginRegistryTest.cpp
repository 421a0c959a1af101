// The registry through the calls built-in registration and modules use: filing and
// refusals, the listings, and the text layout of signatures.
#include <gtest/gtest.h>

#include "ErrorCapture.h"
#include "Plugins/QvPluginInterface.h"
#include "Plugins/QvPluginRegistry.h"

namespace {
using Texts = QvPluginRegistry::Texts;

QvValue* Nothing(QvPluginErrorBlock*, QvParameterBlock*) { return nullptr; }

class PluginRegistry : public ::testing::Test {
protected:
    void TearDown() override { QvDeletePluginRegistry(); }
    QvPluginRegistry& registry() { return QvPluginRegistry::THE_PluginRegistry(); }

    void commitEmpty(const char* nameSpace, const char* name, const char* help = "help") {
        QvPluginSignatureCommit(QvPluginSignatureCreate(0, QV_TEXT, Nothing), nameSpace, name, help);
    }
    std::string onlySignature(const char* nameSpace, const char* name) {
        Texts texts;
        registry().GetSignatures(nameSpace, name, texts);
        return texts.size() == 1 ? texts[0] : "<" + std::to_string(texts.size()) + " signatures>";
    }
};

TEST_F(PluginRegistry, NamespacesListInByteOrderWithoutTheReservedOne) {
    for (const char* nameSpace : {"math", "Math", "File", "Fil", "Filter", "_x"}) commitEmpty(nameSpace, "F");
    registry().addSignature(QvPluginRegistry::kInternalNamespace, "bare",
                            std::make_unique<QvPluginSignature>(0, QvType(), nullptr));
    Texts names;
    EXPECT_EQ(registry().GetNameSpaceNames(names), (Texts{"Fil", "File", "Filter", "Math", "_x", "math"}));
    Texts functions;
    registry().GetFunctionNames(functions);
    EXPECT_EQ(functions.front(), "Fil.F");
    EXPECT_NE(std::find(functions.begin(), functions.end(), "bare"), functions.end());
}

TEST_F(PluginRegistry, RegisteringANameAgainAddsAnOverloadListedInOrder) {
    commitEmpty("Text", "Trim", "first");
    commitEmpty("Text", "Trim", "second");
    Texts names, signatures;
    EXPECT_EQ(registry().GetFunctionNames("Text", names), (Texts{"Trim"}));
    registry().GetSignatures("Text", "Trim", signatures);
    ASSERT_EQ(signatures.size(), 2u);
    EXPECT_NE(signatures[0].find("first"), std::string::npos);
    EXPECT_NE(signatures[1].find("second"), std::string::npos);
}

TEST_F(PluginRegistry, CommitsWithoutANamespaceAreRefusedNamingTheFunction) {
    for (const char* nameSpace : {static_cast<const char*>(nullptr), "", "__QuarvelInternal"})
        EXPECT_EQ(raisedMessage([&] { commitEmpty(nameSpace, "Lost"); }), "Plugin \"Lost\" needs a namespace.");
    EXPECT_TRUE(registry().namespaces().empty());
}

TEST_F(PluginRegistry, DescribingFewerOrMoreParametersThanDeclaredIsRefused) {
    QvPluginSignature* signature = QvPluginSignatureCreate(3, QV_NUMBER, Nothing);
    QvPluginSignatureSetParam(signature, QV_NUMBER, "a", QvParameterRequired, QvArgumentNotConsumed);
    QvPluginSignatureSetParam(signature, QV_NUMBER, "b", QvParameterRequired, QvArgumentNotConsumed);
    EXPECT_EQ(raisedMessage([&] { QvPluginSignatureCommit(signature, "Math", "Three", ""); }),
              "Plugin \"Math.Three\" initialized with wrong number of parameters.");
    EXPECT_FALSE(registry().hasFunction("Math", "Three"));

    QvPluginSignature* one = QvPluginSignatureCreate(1, QV_NUMBER, Nothing);
    QvPluginSignatureSetParam(one, QV_NUMBER, "a", QvParameterRequired, QvArgumentNotConsumed);
    EXPECT_EQ(raisedMessage([&] { QvPluginSignatureSetParam(one, QV_NUMBER, "b", nullptr, QvArgumentNotConsumed); }),
              "Plugin parameter described beyond the declared number of parameters.");
    QvPluginSignatureCommit(one, "Math", "One", "");
    EXPECT_TRUE(registry().hasFunction("Math", "One"));
}

TEST_F(PluginRegistry, NullFunctionPointerIsRefused) {
    EXPECT_EQ(raisedMessage([] { QvPluginSignatureCreate(0, QvType(), nullptr); }),
              "Nil function pointer in plug-in registration");
}

TEST_F(PluginRegistry, ListingAnAbsentNamespaceOrFunctionRaises) {
    commitEmpty("Math", "Sum");
    Texts texts;
    EXPECT_EQ(raisedMessage([&] { registry().GetFunctionNames("Nope", texts); }), "NameSpace doesn't exist");
    EXPECT_EQ(raisedMessage([&] { registry().GetSignatures("Nope", texts); }), "NameSpace doesn't exist");
    EXPECT_EQ(raisedMessage([&] { registry().GetSignatures("Math", "Nope", texts); }), "Function doesn't exist");
    EXPECT_EQ(raisedMessage([&] { registry().GetSignatures(QvPluginRegistry::kInternalNamespace, "x", texts); }),
              "NameSpace doesn't exist");
    EXPECT_TRUE(registry().GetFunctionNamesInternal(texts).empty());
}

TEST_F(PluginRegistry, SignatureWithoutParameters) {
    QvPluginSignatureCommit(QvPluginSignatureCreate(0, QV_TEXT, Nothing), "System", "OS", "Name the system.");
    EXPECT_EQ(onlySignature("System", "OS"), "\n/*\nName the system.\n*/\nSystem.OS() returns text\n");
}

TEST_F(PluginRegistry, SignatureWithOneParameter) {
    QvPluginSignature* signature = QvPluginSignatureCreate(1, QvType(), Nothing);
    QvPluginSignatureSetParam(signature, QV_BOOLEAN, "success", QvParameterDynamic, QvArgumentNotConsumed);
    QvPluginSignatureCommit(signature, "TestHarness", "End", "Log it.\n\tTwice");
    EXPECT_EQ(onlySignature("TestHarness", "End"),
              "\n/*\nLog it.\n\tTwice\n*/\nTestHarness.End(const boolean success -> <dynamic>) returns none\n");
}

TEST_F(PluginRegistry, SignatureWithSeveralParametersAndEveryKindOfDefault) {
    QvPluginSignature* signature = QvPluginSignatureCreate(6, QV_NUMBER | QV_TEXT, Nothing);
    QvPluginSignatureSetParam(signature, QV_TEXT, "path", QvParameterRequired, QvArgumentNotConsumed);
    QvPluginSignatureSetParam(signature, QV_TEXT, "mode", QvTextCreate("fast"), QvArgumentNotConsumed);
    QvPluginSignatureSetParam(signature, QV_NUMBER, "quality", QvNumberCreate(0.5), QvArgumentConsumed);
    QvPluginSignatureSetParam(signature, QV_BOOLEAN, QvParameterUnnamed, QvBooleanCreate(1), QvArgumentNotConsumed);
    QvPluginSignatureSetParam(signature, QV_FRAME | QV_IMAGE, "target", QvParameterRequired, QvArgumentByReference);
    QvPluginSignatureSetParam(signature, QvType::QvTypeAny(), "extra", nullptr, QvArgumentNotConsumed);
    QvPluginSignatureCommit(signature, "File", "Save", "Save it.");
    EXPECT_EQ(onlySignature("File", "Save"),
              "\n/*\nSave it.\n*/\nFile.Save(\n"
              "        const text path,\n"
              "        const text mode -> \"fast\",\n"
              "        number quality -> 0.5,\n"
              "        const boolean <unnamed> -> true,\n"
              "        (frame | image)& target,\n"
              "        const any extra -> Error: Parameter is not required, not dynamic and has NO DEFAULT!)\n"
              "    returns (number | text)\n");
}

TEST_F(PluginRegistry, AReferenceMarkOnTheTypeMakesTheParameterByReference) {
    QvType marked(QV_NUMBER);
    marked.setReferenceFlag(true);
    QvPluginSignature* signature = QvPluginSignatureCreate(1, QvType(), Nothing);
    QvPluginSignatureSetParam(signature, marked, "n", QvParameterRequired, QvArgumentNotConsumed);
    QvPluginSignatureCommit(signature, "Math", "Bump", "");
    const QvPluginParameter& parameter = registry().overloads("Math", "Bump")->front()->parameters()[0];
    EXPECT_TRUE(parameter.byReference);
    EXPECT_FALSE(parameter.isConst);
    EXPECT_TRUE(parameter.acceptedTypes.getReferenceFlag());
}

TEST_F(PluginRegistry, HostListingsCountFromZeroAndStopAtTheEnd) {
    commitEmpty("B", "Two");
    commitEmpty("A", "One");
    commitEmpty("A", "Uno");
    QvTextValue out;
    ASSERT_TRUE(QvPluginRegistryGetNameSpace(1, &out));
    EXPECT_EQ(out.text(), "B");
    EXPECT_FALSE(QvPluginRegistryGetNameSpace(2, &out));
    EXPECT_FALSE(QvPluginRegistryGetNameSpace(-1, &out));
    ASSERT_TRUE(QvPluginRegistryGetFunctionName("A", 1, &out));
    EXPECT_EQ(out.text(), "Uno");
    EXPECT_FALSE(QvPluginRegistryGetFunctionName("Absent", 0, &out));
    EXPECT_FALSE(QvPluginRegistryGetFunctionNamesInternal(0, &out));
    QvPluginRegistryGetSignature("A", "One", &out);
    EXPECT_EQ(out.text(), "\n/*\nhelp\n*/\nA.One() returns text\n");
}

TEST_F(PluginRegistry, DeletingTheRegistryLeavesANewEmptyOne) {
    commitEmpty("Math", "Sum");
    QvDeletePluginRegistry();
    EXPECT_TRUE(registry().namespaces().empty());
}
}
