// A target whose version resource is in English (see versioned_en.rc).
int main() { return 9; }
