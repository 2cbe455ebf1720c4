#include <cstdio>

int main(int argc, char** argv)
{
    std::puts("pressling-cli");
    return 0;
}
