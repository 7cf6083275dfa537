#include "support/version.h"

#include <cstdio>

int main()
{
    std::printf("tagwright-cli %s\n", tagwright::versionText().c_str());
    return 0;
}
