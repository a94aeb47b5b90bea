#include <cstdio>

int main() {
    std::puts(" USAGE: METCONV <INFILE> <TYPE> <UNITS> <STA> <NHR> <BEGHR>");
    return 0;
}
