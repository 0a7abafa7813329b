namespace app { int placeholder() { return 0; } }
