<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>Failures</name>
    <message>
        <source>noImage</source>
        <translation>The file could not be read as an image.</translation>
    </message>
    <message>
        <source>imageReadFail</source>
        <translation>The image in the file could not be decoded.</translation>
    </message>
    <message>
        <source>noTransform</source>
        <translation>The average colour cannot be measured: there is no conversion from the image&apos;s profile to L*a*b*.</translation>
    </message>
    <message>
        <source>imageTooLarge</source>
        <translation>The image is too large to be measured in the memory this computer can give it.</translation>
    </message>
    <message>
        <source>noProfile</source>
        <translation>The image has no profile of its own, and no default profile can be used for it.</translation>
    </message>
</context>
</TS>
