namespace forms { int placeholder() { return 0; } }
