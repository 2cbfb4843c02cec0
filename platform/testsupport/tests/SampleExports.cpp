// Exports of the sample library; the test reads its export table.
extern "C" __declspec(dllexport) int Alpha() { return 1; }
extern "C" __declspec(dllexport) int Beta() { return 5; }
extern "C" __declspec(dllexport) int Hidden() { return 7; }
