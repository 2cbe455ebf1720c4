#include "filelist/ListCommand.h"

#include <algorithm>
#include <iterator>

namespace ListCommand {

bool isPublishCommand(int32_t command)
{
    return std::find(std::begin(PublishCommands), std::end(PublishCommands), command)
        != std::end(PublishCommands);
}

}
