// "印刷..." of the DM screen: the selected DM's targets on a chosen form,
// then the DM marked sent.
#pragma once

class CMilvaneDoc;
class CDMViewLogic;

// True when the targets were printed or saved.
bool PrintDm(CMilvaneDoc* doc, CDMViewLogic& logic);
