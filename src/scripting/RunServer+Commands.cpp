// The command words of internal scripts. Script text reaches only the
// handlers listed here; a word missing from both tables is an unknown
// command (or a subroutine call).
#include "scripting/RunServer.h"

namespace kl {

const RunServer::Tables& RunServer::commandTables() {
    static const Tables tables{
        {
            {"if", &RunServer::doIf},
            {"ifstr", &RunServer::doIfstr},
            {"ifnum", &RunServer::doIfnum},
            {"ifdef", &RunServer::doIfdef},
            {"ifndef", &RunServer::doIfndef},
            {"repeat", &RunServer::doRepeat},
            {"repeatwith", &RunServer::doRepeatwith},
            {"endrepeat", &RunServer::doEndrepeat},
            {"continue", &RunServer::doContinue},
            {"gosub", &RunServer::doGosub},
            {"local", &RunServer::doLocal},
            {"unset", &RunServer::doUnset},
            {"pushvariables", &RunServer::doPushvariables},
            {"popvariables", &RunServer::doPopvariables},
            {"dump", &RunServer::doDump},
            {"stop", &RunServer::doStop},
            {"write", &RunServer::doWrite},
            {"clear", &RunServer::doClear},
            {"log", &RunServer::doLog},
            {"beep", &RunServer::doBeep},
            {"sleep", &RunServer::doSleep},
            {"createlist", &RunServer::doCreatelist},
            {"createdictionary", &RunServer::doCreatedictionary},
            {"createstructure", &RunServer::doCreatestructure},
            {"getobject", &RunServer::doGetobject},
            {"readpasteboard", &RunServer::doReadpasteboard},
        },
        {
            {"get", &RunServer::doObjectGet},
            {"set", &RunServer::doObjectSet},
            {"evaluateexpression", &RunServer::doObjectEvaluateexpression},
            {"addobject", &RunServer::doObjectAddobject},
            {"addstring", &RunServer::doObjectAddstring},
            {"addlist", &RunServer::doObjectAddlist},
            {"insertobject", &RunServer::doObjectInsertobject},
            {"insertstring", &RunServer::doObjectInsertstring},
            {"remove", &RunServer::doObjectRemove},
            {"pop", &RunServer::doObjectPop},
            {"sort", &RunServer::doObjectSort},
            {"join", &RunServer::doObjectJoin},
            {"sublist", &RunServer::doObjectSublist},
            {"putpasteboard", &RunServer::doObjectPutpasteboard},
            {"valueforkey", &RunServer::doObjectValueforkey},
            {"setobjectforkey", &RunServer::doObjectSetobjectforkey},
            {"setstringforkey", &RunServer::doObjectSetstringforkey},
            {"setnumberforkey", &RunServer::doObjectSetnumberforkey},
            {"removevalueforkey", &RunServer::doObjectRemovevalueforkey},
            // Documents and albums.
            {"addalbum", &RunServer::doObjectAddalbum},
            {"addrecord", &RunServer::doObjectAddrecord},
            {"union", &RunServer::doObjectUnion},
            {"intersection", &RunServer::doObjectIntersection},
            {"difference", &RunServer::doObjectDifference},
            {"beginundo", &RunServer::doObjectBeginundo},
            {"endundo", &RunServer::doObjectEndundo},
            {"display", &RunServer::doObjectDisplay},
        },
    };
    return tables;
}

}  // namespace kl
