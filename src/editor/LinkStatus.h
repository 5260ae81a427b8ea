#pragma once

class TDownloadf;
class Trs422kbdf;

// What the main window shows of the link: the Com item when the port went away, and the
// progress of a transfer that goes on while the connect window is hidden.
void attachLinkStatus(Trs422kbdf& main, TDownloadf& link);
