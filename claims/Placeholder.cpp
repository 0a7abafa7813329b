namespace claims { int placeholder() { return 0; } }
