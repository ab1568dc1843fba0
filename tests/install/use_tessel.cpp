// A C++ program built against an installed Tessel.
#include <iostream>
#include <tessel/FileName.h>

int main()
{
    const CFileName name("\\site\\news\\index.htm");
    const bool ok = name.GetFileName() == "index.htm";
    std::cout << (ok ? "tessel ok" : "tessel wrong: " + name.GetFileName()) << '\n';
    return ok ? 0 : 1;
}
