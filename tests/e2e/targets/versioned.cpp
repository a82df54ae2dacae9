// A target that already has a version resource (see versioned.rc).
int main() { return 8; }
