#include <cstdio>

int main() {
    std::puts(" ERROR: Syntax - PEDOPRE <INFILE>");
    return 0;
}
