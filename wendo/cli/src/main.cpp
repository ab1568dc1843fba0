#include <cstdio>

int main()
{
    std::puts("wendo-run");
    return 0;
}
