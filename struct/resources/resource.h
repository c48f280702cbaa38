// Resource ids of the chemical-structures plug-in: the string table that supplies
// every error message, status and progress line, dialog and listing text, colour
// item name and metafile listing text, and the plug-in's cursor resource.
#pragma once

// Status, progress, description and message-box texts (256-325)
#define IDS_TITLE_CSPACK 260
#define IDS_MSG_LIBRARYEDITFAILED 261
#define IDS_DESC_WINDOW 262
#define IDS_DESC_METAFILE 263
#define IDS_MSG_BADID 264  // an ID typed outside 1..2147483647
#define IDS_STATUS_COMPLETEDSECS 320
#define IDS_STATUS_COMPLETEDMINS 321
#define IDS_STATUS_PERCENT 322
#define IDS_STATUS_DONEPERCENT 323
#define IDS_CLIP_DISPLAYTEXT 325

// Error messages (512-554); placeholders are filled by the error formatters
#define IDS_ERR_TEXT 512  // a text made by the caller
#define IDS_ERR_NODATAFILE 513
#define IDS_ERR_NOMEMORY 514
#define IDS_ERR_FILEWRITE 516
#define IDS_ERR_FILEREAD 517
#define IDS_ERR_CREATEFILE 518
#define IDS_ERR_MFZERODIVISOR 519
#define IDS_ERR_BADSTRUCTURE 521
#define IDS_ERR_USERABORT 522
#define IDS_ERR_CLOSEFILE 523
#define IDS_ERR_CREATEINDEX 525
#define IDS_ERR_NOCAS 526
#define IDS_ERR_NORECORD 527
#define IDS_ERR_INDEXREAD 528
#define IDS_ERR_OPENFILE 529
#define IDS_ERR_LOCKFAILED 531
#define IDS_ERR_NODATA 532
#define IDS_ERR_BADPARAM 534
#define IDS_ERR_CREATEOBJECT 535
#define IDS_ERR_DUPLICATEOBJECT 536
#define IDS_ERR_BADOPCODE 537
#define IDS_ERR_NOTSTORABLE 538  // a structure a library record cannot hold
#define IDS_ERR_CREATEWINDOW 539
#define IDS_ERR_NOTWINDOW 540
#define IDS_ERR_BADBONDLINE 541
#define IDS_ERR_NOLIBRARY 542
#define IDS_ERR_MOL3D 543
#define IDS_ERR_MOLFORMAT 544
#define IDS_ERR_OPENCLIPBOARD 545
#define IDS_ERR_NOPICTURE 546
#define IDS_ERR_NOTANISOTROPIC 547
#define IDS_ERR_DISKSPACE 548
#define IDS_ERR_STANDARDLIBRARY 549
#define IDS_ERR_WRITESETTINGS 550
#define IDS_ERR_SETCLIPBOARD 551
#define IDS_ERR_NOMOLFILE 553
#define IDS_ERR_ALLOCATION 554

// Dialog, listing, file prompt and record name texts (768-793)
#define IDS_VIEW_BOND 768
#define IDS_VIEW_STRING 769
#define IDS_VIEW_CIRCLE 770
#define IDS_FILTER_DATABASE 771
#define IDS_TITLE_DATABASE 772
#define IDS_FILTER_MOL 773
#define IDS_TITLE_MOL 774
#define IDS_ORDER_SUFFIXN 778
#define IDS_ORDER_SUFFIX1 779
#define IDS_ORDER_SUFFIX2 780
#define IDS_ORDER_SUFFIX3 781
#define IDS_NAME_CAS 785
#define IDS_NAME_RECORD 786
#define IDS_STATUS_SEARCHCAS 787
#define IDS_STATUS_SEARCHRECORD 788
#define IDS_BTN_OVERWRITE 789
#define IDS_BTN_ADDSTRUCTURE 791
#define IDS_FONT_DEFAULTFACE 793

// Colour item names, in the order of the drawing options' colour items (1280-1286)
#define IDS_COLOR_SINGLEBONDS 1280
#define IDS_COLOR_DOUBLEBONDS 1281
#define IDS_COLOR_TRIPLEBONDS 1282
#define IDS_COLOR_AROMATICRINGS 1283
#define IDS_COLOR_TEXTBACKGROUND 1284
#define IDS_COLOR_TEXTSTRINGS 1285
#define IDS_COLOR_BORDER 1286

// Metafile listing texts (1632-1672)
#define IDS_MF_MAPMODE 1632
#define IDS_MF_TEXTOUT 1648
#define IDS_MF_LINETO 1649
#define IDS_MF_MOVETO 1650
#define IDS_MF_STRETCHBLT 1651
#define IDS_MF_SELECTOBJECT 1652
#define IDS_MF_DELETEOBJECT 1653
#define IDS_MF_RECTANGLE 1654
#define IDS_MF_CREATEBRUSH 1655
#define IDS_MF_CREATEFONT 1656
#define IDS_MF_CREATEPEN 1657
#define IDS_MF_SETTEXTALIGN 1658
#define IDS_MF_SETBKMODE 1659
#define IDS_MF_SETBKCOLOR 1660
#define IDS_MF_SETTEXTCOLOR 1661
#define IDS_MF_SAVEDC 1662
#define IDS_MF_RESTOREDC 1663
#define IDS_MF_INTERSECTCLIPRECT 1664
#define IDS_MF_SETROP2 1665
#define IDS_MF_SETMAPMODE 1666
#define IDS_MF_SETWINDOWEXT 1667
#define IDS_MF_SETWINDOWORG 1668
#define IDS_MF_ESCAPE 1670
#define IDS_MF_FONTDETAILS 1671
#define IDS_MF_PENDETAILS 1672

// System menu item of structure windows
#define IDS_MENU_COPY 1792

// Cursor resource (structure window drag icon)
#define IDC_STRUCTURE_CURSOR 100

// System-menu command id of the structure window's copy item (not a string id;
// its menu text is IDS_MENU_COPY)
#define IDM_STRUCTURE_COPY 300
