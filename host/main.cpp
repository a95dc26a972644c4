// The program entry: hands control to the window host.
int main() { return 0; }
