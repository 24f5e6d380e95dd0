<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>BackupsDialog</name>
    <message>
        <source>备份</source>
        <translation>Backups</translation>
    </message>
    <message>
        <source>设备</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>读取</source>
        <translation>Load</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>CanMappingWidget</name>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>添加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>清空</source>
        <translation>Clear all</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>最多可以添加32个记录</source>
        <translation>At most 32 rows can be added</translation>
    </message>
    <message>
        <source>输入错误 请输入 0 到 65535 之间的整数</source>
        <translation>Invalid input: enter an integer from 0 to 65535</translation>
    </message>
    <message>
        <source>输入错误</source>
        <translation>Invalid input</translation>
    </message>
    <message>
        <source>请输入有效值: %1</source>
        <translation>Enter a valid value: %1</translation>
    </message>
    <message>
        <source>请修改后重试</source>
        <translation>Correct it and retry</translation>
    </message>
    <message>
        <source>请输入有效值</source>
        <translation>Enter a valid value</translation>
    </message>
    <message>
        <source>ID错误</source>
        <translation>Invalid ID</translation>
    </message>
    <message>
        <source>地址错误</source>
        <translation>Invalid address</translation>
    </message>
    <message>
        <source>参数错误</source>
        <translation>Invalid parameter</translation>
    </message>
    <message>
        <source>地址或映射数量格式错误或无效</source>
        <translation>The address or the mapping count is malformed or invalid</translation>
    </message>
    <message>
        <source>请检查后重试</source>
        <translation>Check and retry</translation>
    </message>
    <message>
        <source>地址超出范围</source>
        <translation>Address out of range</translation>
    </message>
    <message>
        <source>结束地址超出 65535 (0xFFFF)
当前结束地址：%1 (0x%2)</source>
        <translation>The end address exceeds 65535 (0xFFFF)
Current end address: %1 (0x%2)</translation>
    </message>
    <message>
        <source>区间重复</source>
        <translation>Overlapping ranges</translation>
    </message>
    <message>
        <source>CAN接收映射列表存在区间重复</source>
        <translation>The CAN receive mapping list has overlapping ranges</translation>
    </message>
    <message>
        <source>ID重复</source>
        <translation>Duplicate ID</translation>
    </message>
    <message>
        <source>CAN发送映射列表存在重复的ID</source>
        <translation>The CAN send mapping list has a duplicate ID</translation>
    </message>
    <message>
        <source>寄存器地址重复</source>
        <translation>Duplicate register address</translation>
    </message>
    <message>
        <source>CAN发送映射列表存在重复地址</source>
        <translation>The CAN send mapping list has a duplicate address</translation>
    </message>
    <message>
        <source>CAN接收映射列表存在重复的ID</source>
        <translation>The CAN receive mapping list has a duplicate ID</translation>
    </message>
    <message>
        <source>FD加速</source>
        <translation>CANFD+BRS</translation>
    </message>
    <message>
        <source>数据帧</source>
        <translation>Data frame</translation>
    </message>
    <message>
        <source>远程帧</source>
        <translation>Remote frame</translation>
    </message>
    <message>
        <source>标准帧</source>
        <translation>Standard frame</translation>
    </message>
    <message>
        <source>扩展帧</source>
        <translation>Extended frame</translation>
    </message>
    <message>
        <source>动态</source>
        <translation>Variable</translation>
    </message>
</context>
<context>
    <name>CanMappingWidgetClass</name>
    <message>
        <source>CanMappingWidget</source>
        <translation>CanMappingWidget</translation>
    </message>
    <message>
        <source>CAN发送映射列表</source>
        <translation>CAN send mapping list</translation>
    </message>
    <message>
        <source>帧格式</source>
        <translation>Frame format</translation>
    </message>
    <message>
        <source>帧类型</source>
        <translation>Frame type</translation>
    </message>
    <message>
        <source>CAN协议</source>
        <translation>CAN protocol</translation>
    </message>
    <message>
        <source>数据长度</source>
        <translation>Data length</translation>
    </message>
    <message>
        <source>CAN ID(HEX)</source>
        <translation>CAN ID(HEX)</translation>
    </message>
    <message>
        <source>寄存器地址(DEC)</source>
        <translation>Register address (DEC)</translation>
    </message>
    <message>
        <source>CAN接收映射列表</source>
        <translation>CAN receive mapping list</translation>
    </message>
    <message>
        <source>寄存器首地址(DEC)</source>
        <translation>First register address (DEC)</translation>
    </message>
    <message>
        <source>映射数量</source>
        <translation>Mapping count</translation>
    </message>
</context>
<context>
    <name>CanParamWidget</name>
    <message>
        <source>标准帧</source>
        <translation>Standard frame</translation>
    </message>
    <message>
        <source>扩展帧</source>
        <translation>Extended frame</translation>
    </message>
    <message>
        <source>明确 ID</source>
        <translation>Exact ID</translation>
    </message>
    <message>
        <source>范围 ID</source>
        <translation>ID range</translation>
    </message>
    <message>
        <source>掩码 ID</source>
        <translation>ID mask</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>最多28条数据</source>
        <translation>At most 28 filters</translation>
    </message>
    <message>
        <source>ID 2 小于或等于 小于ID 1</source>
        <translation>ID 2 is less than or equal to ID 1</translation>
    </message>
    <message>
        <source>输入错误</source>
        <translation>Invalid input</translation>
    </message>
    <message>
        <source>请输入有效值: %1</source>
        <translation>Enter a valid value: %1</translation>
    </message>
    <message>
        <source>CAN ID输入错误</source>
        <translation>Invalid CAN ID</translation>
    </message>
</context>
<context>
    <name>CanParamWidgetClass</name>
    <message>
        <source>CanParamWidget</source>
        <translation>CanParamWidget</translation>
    </message>
    <message>
        <source>CANFD标准：</source>
        <translation>CAN FD standard:</translation>
    </message>
    <message>
        <source>ISO</source>
        <translation>ISO</translation>
    </message>
    <message>
        <source>Non-ISO</source>
        <translation>Non-ISO</translation>
    </message>
    <message>
        <source>CAN协议：</source>
        <translation>CAN protocol:</translation>
    </message>
    <message>
        <source>CAN</source>
        <translation>CAN</translation>
    </message>
    <message>
        <source>CANFD</source>
        <translation>CANFD</translation>
    </message>
    <message>
        <source>帧类型：</source>
        <translation>Frame type:</translation>
    </message>
    <message>
        <source>标准帧</source>
        <translation>Standard frame</translation>
    </message>
    <message>
        <source>扩展帧</source>
        <translation>Extended frame</translation>
    </message>
    <message>
        <source>CANFD加速：</source>
        <translation>CAN FD bit rate switch:</translation>
    </message>
    <message>
        <source>否</source>
        <translation>No</translation>
    </message>
    <message>
        <source>是</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>CAN ID(HEX)：</source>
        <translation>CAN ID (HEX):</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>过滤器</source>
        <translation>Acceptance filters</translation>
    </message>
    <message>
        <source>仲裁域波特率：</source>
        <translation>Arbitration bit rate:</translation>
    </message>
    <message>
        <source>5K</source>
        <translation>5K</translation>
    </message>
    <message>
        <source>10K</source>
        <translation>10K</translation>
    </message>
    <message>
        <source>20K</source>
        <translation>20K</translation>
    </message>
    <message>
        <source>40K</source>
        <translation>40K</translation>
    </message>
    <message>
        <source>50K</source>
        <translation>50K</translation>
    </message>
    <message>
        <source>80K</source>
        <translation>80K</translation>
    </message>
    <message>
        <source>100K</source>
        <translation>100K</translation>
    </message>
    <message>
        <source>125K</source>
        <translation>125K</translation>
    </message>
    <message>
        <source>200K</source>
        <translation>200K</translation>
    </message>
    <message>
        <source>250K</source>
        <translation>250K</translation>
    </message>
    <message>
        <source>400K</source>
        <translation>400K</translation>
    </message>
    <message>
        <source>500K</source>
        <translation>500K</translation>
    </message>
    <message>
        <source>800K</source>
        <translation>800K</translation>
    </message>
    <message>
        <source>1000K</source>
        <translation>1000K</translation>
    </message>
    <message>
        <source>自定义</source>
        <translation>Custom</translation>
    </message>
    <message>
        <source>数据域波特率：</source>
        <translation>Data bit rate:</translation>
    </message>
    <message>
        <source>1M</source>
        <translation>1M</translation>
    </message>
    <message>
        <source>2M</source>
        <translation>2M</translation>
    </message>
    <message>
        <source>3M</source>
        <translation>3M</translation>
    </message>
    <message>
        <source>4M</source>
        <translation>4M</translation>
    </message>
    <message>
        <source>5M</source>
        <translation>5M</translation>
    </message>
    <message>
        <source>6M</source>
        <translation>6M</translation>
    </message>
    <message>
        <source>  CAN过滤器</source>
        <translation>  CAN acceptance filters</translation>
    </message>
    <message>
        <source>帧类型</source>
        <translation>Frame type</translation>
    </message>
    <message>
        <source>过滤类型</source>
        <translation>Filter type</translation>
    </message>
    <message>
        <source>ID 1(HEX)</source>
        <translation>ID 1(HEX)</translation>
    </message>
    <message>
        <source>ID 2(HEX)</source>
        <translation>ID 2(HEX)</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>添加</source>
        <translation>Add</translation>
    </message>
</context>
<context>
    <name>CenterWidget</name>
    <message>
        <source>保存配置</source>
        <translation>Save configuration</translation>
    </message>
    <message>
        <source>TXT files(*.txt)</source>
        <translation>Text files (*.txt)</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>保存配置出错.</source>
        <translation>Could not save the configuration.</translation>
    </message>
    <message>
        <source>成功</source>
        <translation>Success</translation>
    </message>
    <message>
        <source>保存配置成功</source>
        <translation>Configuration saved</translation>
    </message>
    <message>
        <source>打开配置</source>
        <translation>Open configuration</translation>
    </message>
    <message>
        <source>TXT文件(*.txt)</source>
        <translation>Text files (*.txt)</translation>
    </message>
    <message>
        <source>失败</source>
        <translation>Failed</translation>
    </message>
    <message>
        <source>打开配置文件失败.</source>
        <translation>Could not open the configuration file. </translation>
    </message>
    <message>
        <source>解析配置文件失败.</source>
        <translation>Could not parse the configuration file. </translation>
    </message>
    <message>
        <source>文件过大</source>
        <translation>The file is too large</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>读取成功</source>
        <translation>Configuration loaded</translation>
    </message>
    <message>
        <source>串口名不能位空.</source>
        <translation>The serial port name must not be empty.</translation>
    </message>
    <message>
        <source>打开设备</source>
        <translation>Opening the device</translation>
    </message>
    <message>
        <source>失败.错误码:</source>
        <translation> failed. Error code: </translation>
    </message>
    <message>
        <source>,描述：</source>
        <translation>, description: </translation>
    </message>
    <message>
        <source>连接设备</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>提醒</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>发送失败</source>
        <translation>Sending failed</translation>
    </message>
    <message>
        <source>设备连接校验失败</source>
        <translation>The device failed the connection check</translation>
    </message>
    <message>
        <source>时间超时</source>
        <translation>Timed out</translation>
    </message>
    <message>
        <source>串口已断开: </source>
        <translation>Serial port disconnected: </translation>
    </message>
    <message>
        <source>连接失败</source>
        <translation>Connection failed</translation>
    </message>
    <message>
        <source>断开连接</source>
        <translation>Disconnect</translation>
    </message>
    <message>
        <source>连接成功</source>
        <translation>Connected</translation>
    </message>
    <message>
        <source>转换模式</source>
        <translation>Conversion</translation>
    </message>
    <message>
        <source>串口参数</source>
        <translation>Serial</translation>
    </message>
    <message>
        <source>CAN参数</source>
        <translation>CAN</translation>
    </message>
    <message>
        <source>Modbus</source>
        <translation>Modbus</translation>
    </message>
    <message>
        <source>ID映射</source>
        <translation>ID mapping</translation>
    </message>
    <message>
        <source>设备信息</source>
        <translation>Device info</translation>
    </message>
    <message>
        <source>固件更新</source>
        <translation>Firmware</translation>
    </message>
    <message>
        <source>读配置成功</source>
        <translation>Configuration read</translation>
    </message>
    <message>
        <source>写配置成功</source>
        <translation>Configuration written</translation>
    </message>
    <message>
        <source>恢复默认值成功</source>
        <translation>Defaults restored</translation>
    </message>
    <message>
        <source>通信记录</source>
        <translation>Traffic log</translation>
    </message>
    <message>
        <source>与设备比较</source>
        <translation>Compare with device</translation>
    </message>
    <message>
        <source>与文件比较</source>
        <translation>Compare with file</translation>
    </message>
    <message>
        <source>比较</source>
        <translation>Compare</translation>
    </message>
    <message>
        <source>设备中的配置与窗口一致。</source>
        <translation>The configuration in the device matches the window.</translation>
    </message>
    <message>
        <source>文件中的配置与窗口一致。</source>
        <translation>The configuration in the file matches the window.</translation>
    </message>
    <message>
        <source>设备中的值</source>
        <translation>Value in device</translation>
    </message>
    <message>
        <source>文件中的值</source>
        <translation>Value in file</translation>
    </message>
    <message>
        <source>写入校验失败</source>
        <translation>Write verification failed</translation>
    </message>
    <message>
        <source>无法读回设备中的配置。</source>
        <translation>The configuration could not be read back from the device.</translation>
    </message>
    <message>
        <source>备份…</source>
        <translation>Backups…</translation>
    </message>
    <message>
        <source>未备份设备配置：本次连接尚未完整读取设备配置</source>
        <translation>No backup of the device configuration: it has not been read completely in this connection</translation>
    </message>
    <message>
        <source>未备份设备配置：%1</source>
        <translation>No backup of the device configuration: %1</translation>
    </message>
</context>
<context>
    <name>CenterWidgetClass</name>
    <message>
        <source>CenterWidget</source>
        <translation>CenterWidget</translation>
    </message>
    <message>
        <source>设备：</source>
        <translation>Device:</translation>
    </message>
    <message>
        <source>串口号：</source>
        <translation>Serial port:</translation>
    </message>
    <message>
        <source>连接设备</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>默认值</source>
        <translation>Defaults</translation>
    </message>
    <message>
        <source>保存到文件</source>
        <translation>Save to file</translation>
    </message>
    <message>
        <source>从文件读取</source>
        <translation>Load from file</translation>
    </message>
    <message>
        <source>读配置</source>
        <translation>Read configuration</translation>
    </message>
    <message>
        <source>写配置</source>
        <translation>Write configuration</translation>
    </message>
    <message>
        <source>写入后校验</source>
        <translation>Verify after write</translation>
    </message>
</context>
<context>
    <name>ConvertParamWidgetClass</name>
    <message>
        <source>ConvertParamWidget</source>
        <translation>ConvertParamWidget</translation>
    </message>
    <message>
        <source>转换模式：</source>
        <translation>Conversion mode:</translation>
    </message>
    <message>
        <source>允许CAN帧信息转发到串行帧中</source>
        <translation>Forward CAN frame information into serial frames</translation>
    </message>
    <message>
        <source>CAN标识符在串行帧中位置：</source>
        <translation>Position of the CAN identifier in the serial frame:</translation>
    </message>
    <message>
        <source>串行帧转发的时间间隔(ms)：</source>
        <translation>Serial frame forwarding interval (ms):</translation>
    </message>
    <message>
        <source>CAN帧转发的时间间隔(ms)：</source>
        <translation>CAN frame forwarding interval (ms):</translation>
    </message>
    <message>
        <source>转换方向：</source>
        <translation>Conversion direction:</translation>
    </message>
    <message>
        <source>允许CAN帧ID转发到串行帧中</source>
        <translation>Forward CAN frame ID into serial frames</translation>
    </message>
    <message>
        <source>起始地址：</source>
        <translation>Start offset:</translation>
    </message>
    <message>
        <source>长度：</source>
        <translation>Length:</translation>
    </message>
    <message>
        <source>透明转换</source>
        <translation>Transparent</translation>
    </message>
    <message>
        <source>透明带标识转换</source>
        <translation>Transparent with identifier</translation>
    </message>
    <message>
        <source>格式转换</source>
        <translation>Formatted</translation>
    </message>
    <message>
        <source>MODBUS转换</source>
        <translation>Modbus conversion</translation>
    </message>
    <message>
        <source>MODBUS从站</source>
        <translation>Modbus slave</translation>
    </message>
    <message>
        <source>双向</source>
        <translation>Both directions</translation>
    </message>
    <message>
        <source>仅串口到CAN</source>
        <translation>Serial to CAN only</translation>
    </message>
    <message>
        <source>仅CAN到串口</source>
        <translation>CAN to serial only</translation>
    </message>
</context>
<context>
    <name>DeviceInfoWidget</name>
    <message>
        <source>官网</source>
        <translation>Website</translation>
    </message>
    <message>
        <source>版本：</source>
        <translation>Version: </translation>
    </message>
    <message>
        <source>版权所有 © </source>
        <translation>Copyright © </translation>
    </message>
    <message>
        <source> Morvane</source>
        <translation> Morvane</translation>
    </message>
</context>
<context>
    <name>DeviceInfoWidgetClass</name>
    <message>
        <source>DeviceInfoWidget</source>
        <translation>DeviceInfoWidget</translation>
    </message>
    <message>
        <source>设备类型：</source>
        <translation>Device type:</translation>
    </message>
    <message>
        <source>硬件版本：</source>
        <translation>Hardware version:</translation>
    </message>
    <message>
        <source>固件版本：</source>
        <translation>Firmware version:</translation>
    </message>
    <message>
        <source>产品序列：</source>
        <translation>Serial number:</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
</context>
<context>
    <name>DifferenceLabels</name>
    <message>
        <source>第%1行</source>
        <translation>row %1</translation>
    </message>
    <message>
        <source>行数</source>
        <translation>rows</translation>
    </message>
    <message>
        <source>第%1字节</source>
        <translation>byte %1</translation>
    </message>
    <message>
        <source>发送映射</source>
        <translation>Send mapping</translation>
    </message>
    <message>
        <source>接收映射</source>
        <translation>Receive mapping</translation>
    </message>
</context>
<context>
    <name>DifferencesDialog</name>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>页面</source>
        <translation>Page</translation>
    </message>
    <message>
        <source>参数</source>
        <translation>Field</translation>
    </message>
    <message>
        <source>窗口中的值</source>
        <translation>Value in window</translation>
    </message>
</context>
<context>
    <name>ModBusWidget</name>
    <message>
        <source>数据帧</source>
        <translation>Data frame</translation>
    </message>
    <message>
        <source>远程帧</source>
        <translation>Remote frame</translation>
    </message>
    <message>
        <source>标准帧</source>
        <translation>Standard frame</translation>
    </message>
    <message>
        <source>扩展帧</source>
        <translation>Extended frame</translation>
    </message>
    <message>
        <source>禁用</source>
        <translation>Disabled</translation>
    </message>
    <message>
        <source>启用</source>
        <translation>Enabled</translation>
    </message>
    <message>
        <source>输入错误</source>
        <translation>Invalid input</translation>
    </message>
    <message>
        <source>请输入有效值: %1</source>
        <translation>Enter a valid value: %1</translation>
    </message>
</context>
<context>
    <name>ModBusWidgetClass</name>
    <message>
        <source>ModBusWidget</source>
        <translation>ModBusWidget</translation>
    </message>
    <message>
        <source>Modbus地址</source>
        <translation>Modbus address</translation>
    </message>
    <message>
        <source>地址(HEX)：</source>
        <translation>Address (HEX):</translation>
    </message>
    <message>
        <source>01</source>
        <translation>01</translation>
    </message>
    <message>
        <source>心跳报文</source>
        <translation>Heartbeat message</translation>
    </message>
    <message>
        <source>心跳功能：</source>
        <translation>Heartbeat:</translation>
    </message>
    <message>
        <source>CAN协议：</source>
        <translation>CAN protocol:</translation>
    </message>
    <message>
        <source>CAN</source>
        <translation>CAN</translation>
    </message>
    <message>
        <source>CANFD</source>
        <translation>CANFD</translation>
    </message>
    <message>
        <source>CANFD加速</source>
        <translation>CAN FD bit rate switch</translation>
    </message>
    <message>
        <source>时间间隔(ms)：</source>
        <translation>Interval (ms):</translation>
    </message>
    <message>
        <source>1000</source>
        <translation>1000</translation>
    </message>
    <message>
        <source>(1-65535)</source>
        <translation>(1-65535)</translation>
    </message>
    <message>
        <source>帧格式：</source>
        <translation>Frame format:</translation>
    </message>
    <message>
        <source>帧类型：</source>
        <translation>Frame type:</translation>
    </message>
    <message>
        <source>CAN ID(HEX)：</source>
        <translation>CAN ID (HEX):</translation>
    </message>
    <message>
        <source>00 00 00 00</source>
        <translation>00 00 00 00</translation>
    </message>
    <message>
        <source>数据长度：</source>
        <translation>Data length:</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>1</source>
        <translation>1</translation>
    </message>
    <message>
        <source>2</source>
        <translation>2</translation>
    </message>
    <message>
        <source>3</source>
        <translation>3</translation>
    </message>
    <message>
        <source>4</source>
        <translation>4</translation>
    </message>
    <message>
        <source>5</source>
        <translation>5</translation>
    </message>
    <message>
        <source>6</source>
        <translation>6</translation>
    </message>
    <message>
        <source>7</source>
        <translation>7</translation>
    </message>
    <message>
        <source>8</source>
        <translation>8</translation>
    </message>
    <message>
        <source>12</source>
        <translation>12</translation>
    </message>
    <message>
        <source>16</source>
        <translation>16</translation>
    </message>
    <message>
        <source>20</source>
        <translation>20</translation>
    </message>
    <message>
        <source>24</source>
        <translation>24</translation>
    </message>
    <message>
        <source>32</source>
        <translation>32</translation>
    </message>
    <message>
        <source>48</source>
        <translation>48</translation>
    </message>
    <message>
        <source>64</source>
        <translation>64</translation>
    </message>
    <message>
        <source>数据(HEX)：</source>
        <translation>Data (HEX):</translation>
    </message>
    <message>
        <source>&lt;!DOCTYPE HTML PUBLIC &quot;-//W3C//DTD HTML 4.0//EN&quot; &quot;http://www.w3.org/TR/REC-html40/strict.dtd&quot;&gt;
&lt;html&gt;&lt;head&gt;&lt;meta name=&quot;qrichtext&quot; content=&quot;1&quot; /&gt;&lt;style type=&quot;text/css&quot;&gt;
p, li { white-space: pre-wrap; }
&lt;/style&gt;&lt;/head&gt;&lt;body style=&quot; font-family:&apos;SimSun&apos;; font-size:9pt; font-weight:400; font-style:normal;&quot;&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;!DOCTYPE HTML PUBLIC &quot;-//W3C//DTD HTML 4.0//EN&quot; &quot;http://www.w3.org/TR/REC-html40/strict.dtd&quot;&gt;
&lt;html&gt;&lt;head&gt;&lt;meta name=&quot;qrichtext&quot; content=&quot;1&quot; /&gt;&lt;style type=&quot;text/css&quot;&gt;
p, li { white-space: pre-wrap; }
&lt;/style&gt;&lt;/head&gt;&lt;body style=&quot; font-family:&apos;SimSun&apos;; font-size:9pt; font-weight:400; font-style:normal;&quot;&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
</context>
<context>
    <name>SerialParamWidgetClass</name>
    <message>
        <source>SerialParamWidget</source>
        <translation>SerialParamWidget</translation>
    </message>
    <message>
        <source>模式切换：</source>
        <translation>Mode:</translation>
    </message>
    <message>
        <source>RS232</source>
        <translation>RS232</translation>
    </message>
    <message>
        <source>RS485</source>
        <translation>RS485</translation>
    </message>
    <message>
        <source>RS422</source>
        <translation>RS422</translation>
    </message>
    <message>
        <source>RS232+RS485</source>
        <translation>RS232+RS485</translation>
    </message>
    <message>
        <source>RS232+RS422</source>
        <translation>RS232+RS422</translation>
    </message>
    <message>
        <source>GroupBox</source>
        <translation>GroupBox</translation>
    </message>
    <message>
        <source>波特率(bps)：</source>
        <translation>Baud rate (bps):</translation>
    </message>
    <message>
        <source>停止位：</source>
        <translation>Stop bits:</translation>
    </message>
    <message>
        <source>数据位：</source>
        <translation>Data bits:</translation>
    </message>
    <message>
        <source>奇偶校验：</source>
        <translation>Parity:</translation>
    </message>
    <message>
        <source>无校验</source>
        <translation>None</translation>
    </message>
    <message>
        <source>奇校验</source>
        <translation>Odd</translation>
    </message>
    <message>
        <source>偶校验</source>
        <translation>Even</translation>
    </message>
</context>
<context>
    <name>TARVINE</name>
    <message>
        <source>语言</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>语言将在重新启动后切换。</source>
        <translation>The language changes when the tool is restarted.</translation>
    </message>
    <message>
        <source>工具</source>
        <translation>Tools</translation>
    </message>
</context>
<context>
    <name>TARVINEClass</name>
    <message>
        <source> TARVINE-Morvane</source>
        <translation> TARVINE-Morvane</translation>
    </message>
</context>
<context>
    <name>TrafficLog</name>
    <message>
        <source>发送</source>
        <translation>Sent</translation>
    </message>
    <message>
        <source>接收</source>
        <translation>Received</translation>
    </message>
    <message>
        <source>超时</source>
        <translation>Time-out</translation>
    </message>
    <message>
        <source>固件开始包</source>
        <translation>Firmware start packet</translation>
    </message>
    <message>
        <source>固件结束包</source>
        <translation>Firmware end packet</translation>
    </message>
    <message>
        <source>固件数据包</source>
        <translation>Firmware data packet</translation>
    </message>
    <message>
        <source>固件应答</source>
        <translation>Firmware acknowledgement</translation>
    </message>
    <message>
        <source>连接校验</source>
        <translation>Connect challenge</translation>
    </message>
    <message>
        <source>写配置</source>
        <translation>Write configuration</translation>
    </message>
    <message>
        <source>读配置</source>
        <translation>Read configuration</translation>
    </message>
    <message>
        <source>写CAN滤波</source>
        <translation>Write CAN filters</translation>
    </message>
    <message>
        <source>读CAN滤波</source>
        <translation>Read CAN filters</translation>
    </message>
    <message>
        <source>读设备信息</source>
        <translation>Read device information</translation>
    </message>
    <message>
        <source>恢复默认值</source>
        <translation>Restore defaults</translation>
    </message>
    <message>
        <source>读Modbus</source>
        <translation>Read Modbus</translation>
    </message>
    <message>
        <source>写Modbus</source>
        <translation>Write Modbus</translation>
    </message>
    <message>
        <source>读接收映射</source>
        <translation>Read receive mapping</translation>
    </message>
    <message>
        <source>写接收映射</source>
        <translation>Write receive mapping</translation>
    </message>
    <message>
        <source>读发送映射</source>
        <translation>Read send mapping</translation>
    </message>
    <message>
        <source>写发送映射</source>
        <translation>Write send mapping</translation>
    </message>
    <message>
        <source>未知命令</source>
        <translation>Unknown command</translation>
    </message>
    <message>
        <source>无应答</source>
        <translation>no answer</translation>
    </message>
    <message>
        <source>校验错误，已丢弃</source>
        <translation>bad checksum, dropped</translation>
    </message>
    <message>
        <source>长度不足，已丢弃</source>
        <translation>too short, dropped</translation>
    </message>
    <message>
        <source>非当前请求的应答</source>
        <translation>answers no outstanding request</translation>
    </message>
    <message>
        <source>未成帧字节，已丢弃</source>
        <translation>bytes that formed no reply, dropped</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Note</translation>
    </message>
</context>
<context>
    <name>TrafficLogModel</name>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>方向</source>
        <translation>Direction</translation>
    </message>
    <message>
        <source>命令</source>
        <translation>Command</translation>
    </message>
    <message>
        <source>长度</source>
        <translation>Length</translation>
    </message>
    <message>
        <source>数据</source>
        <translation>Data</translation>
    </message>
    <message>
        <source>备注</source>
        <translation>Note</translation>
    </message>
</context>
<context>
    <name>TrafficLogPanel</name>
    <message>
        <source>清空</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>保存…</source>
        <translation>Save…</translation>
    </message>
    <message>
        <source>复制</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>保存通信记录</source>
        <translation>Save traffic log</translation>
    </message>
    <message>
        <source>TXT files(*.txt)</source>
        <translation>Text files (*.txt)</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>保存通信记录出错.</source>
        <translation>Could not save the traffic log. </translation>
    </message>
</context>
<context>
    <name>UpadteWidget</name>
    <message>
        <source>选择文件</source>
        <translation>Choose file</translation>
    </message>
    <message>
        <source>所有文件 (*.*)</source>
        <translation>All files (*.*)</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>打开固件文件失败.</source>
        <translation>Could not open the firmware file. </translation>
    </message>
    <message>
        <source>固件文件过大</source>
        <translation>The firmware file is too large</translation>
    </message>
    <message>
        <source>提醒</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>设备无应答，固件更新已中断</source>
        <translation>The device does not answer: firmware update aborted</translation>
    </message>
    <message>
        <source>文件长度错误</source>
        <translation>Wrong file length</translation>
    </message>
    <message>
        <source>校验错误</source>
        <translation>Checksum error</translation>
    </message>
    <message>
        <source>固件更新成功</source>
        <translation>Firmware updated</translation>
    </message>
</context>
<context>
    <name>UpadteWidgetClass</name>
    <message>
        <source>UpadteWidget</source>
        <translation>UpadteWidget</translation>
    </message>
    <message>
        <source>选择文件</source>
        <translation>Choose file</translation>
    </message>
</context>
</TS>
