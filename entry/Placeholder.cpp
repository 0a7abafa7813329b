namespace entry { int placeholder() { return 0; } }
