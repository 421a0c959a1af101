#include "Library/QvBuiltinNamespaces.h"
#include "Plugins/QvPluginRegistry.h"

// The order fixes the order of overloads and listings. Still to come, in this order
// between Function and System: Frame.Grab; Frame interlace and alpha; Math.Sum;
// Math.Difference; File; Math.Minimum and Maximum; Filter; Math.Average, StdDev,
// Random and RandomSeed; Find.Correlate for vectors; Find.Correlate and Find.Map for
// pictures; Find.Region; TestHarness; Draw; Fractal. Client follows System.
void QvPluginRegistryInitInternal() {
    QvRegisterFunctionNamespace();
    QvRegisterSystemNamespace();
}
