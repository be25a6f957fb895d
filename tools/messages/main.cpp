// Prints every message the program can show, one a line with where it is
// written: lomi-messages [SOURCE-FOLDER].
#include <iostream>

#include "message_collector.h"

int main(int argc, char* argv[]) {
    const std::filesystem::path folder = argc > 1 ? argv[1] : "src";
    for (const lomi::messages::Message& message : lomi::messages::CollectMessagesUnder(folder)) {
        std::cout << message.text << "\t" << message.where << "\n";
    }
    return 0;
}
