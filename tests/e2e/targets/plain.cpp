// A target without resources of its own; its exit code shows that it still
// runs after a merge.
int main() { return 7; }
