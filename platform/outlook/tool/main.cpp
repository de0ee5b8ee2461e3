#include <iostream>

#include "platform/outlook/tool/CalendarTool.h"

int main(int argc, char** argv) {
    return wendra::outlook::runCalendarTool(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
