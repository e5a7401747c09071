// Placeholder until the sound generator lands: it writes nothing.
int main() { return 0; }
