"./instdrv2" giveio remove
"./instdrv2" giveio "./Giveio.sys"
